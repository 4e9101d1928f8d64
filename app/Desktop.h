// What the window's actions ask of the desktop platform.
#pragma once

#include <cstdint>

#include "app/Controls.h"
#include "text/Text.h"

namespace veltrano::app {

// Message box button and icon codes, as the Windows message box takes them.
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbOkCancel = 0x1;
inline constexpr std::uint32_t kMbIconWarning = 0x30;
inline constexpr std::uint32_t kMbTaskModal = 0x2000;

class Desktop {
public:
    virtual ~Desktop() = default;

    [[nodiscard]] virtual Text GetControlText(ControlId control) = 0;
    virtual void SetControlText(ControlId control, TextView text) = 0;
    // Plain ANSI text; false when the clipboard could not be opened, which leaves it as it was.
    [[nodiscard]] virtual bool PutClipboardText(TextView text) = 0;
    // Modal, no owner, title "信息："; returns when the user has closed it.
    virtual void ShowMessageBox(TextView text, std::uint32_t flags) = 0;
};

}  // namespace veltrano::app
