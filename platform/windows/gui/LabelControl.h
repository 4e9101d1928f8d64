// The self-drawn label: fills its rectangle with the button face, then draws
// its text in black on one line, vertically centred, "&" drawn as itself.
#pragma once

#include <windows.h>

#include "gui/Win32Handles.h"

namespace veltrano::windows {

inline constexpr const char* kLabelClassName = "VeltranoLabel";
// Class style bit of a label whose text is centred horizontally (else aligned left).
inline constexpr DWORD kLabelCentred = 0x0001;

[[nodiscard]] RegisteredClass RegisterLabelClass(HINSTANCE instance);

}  // namespace veltrano::windows
