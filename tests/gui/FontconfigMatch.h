// What fontconfig makes of a face name, to compare the window's fonts with.
#pragma once

#include <QString>

namespace veltrano::linuxgui::testing {

// The family fontconfig picks for the face: the face itself where it is
// installed, else the substitute the system's configuration names; the face
// unchanged when fontconfig finds nothing.
[[nodiscard]] QString ResolveFontFamily(const QString& face);

}  // namespace veltrano::linuxgui::testing
