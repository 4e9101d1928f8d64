// GBK Text and Qt's strings meet here and nowhere else.
#pragma once

#include <QString>

#include "text/Text.h"

namespace veltrano::linuxgui {

// A byte that does not start a GBK character reads as U+FFFD; the result ends at a NUL byte.
[[nodiscard]] QString GbkToQString(TextView text);
// A character GBK cannot hold becomes "?", as the system's ANSI conversion does;
// the result ends before the first NUL character.
[[nodiscard]] Text QStringToGbk(const QString& text);

}  // namespace veltrano::linuxgui
