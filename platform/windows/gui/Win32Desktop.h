// Control texts, the clipboard and the message box in Win32, for the window's actions.
#pragma once

#include "app/Desktop.h"
#include "gui/MainWindow.h"

namespace veltrano::windows {

// Plain ANSI text on the clipboard: a movable, zero-filled block of the text
// and its NUL handed over as CF_TEXT. False when the clipboard cannot be
// opened (left as it was) or the text could not be placed on it.
[[nodiscard]] bool PutClipboardAnsiText(TextView text);

class Win32Desktop final : public app::Desktop {
public:
    explicit Win32Desktop(const MainWindow& window) : window_(window) {}

    [[nodiscard]] Text GetControlText(app::ControlId control) override;
    void SetControlText(app::ControlId control, TextView text) override;
    [[nodiscard]] bool PutClipboardText(TextView text) override { return PutClipboardAnsiText(text); }
    // No owner window, title "信息：".
    void ShowMessageBox(TextView text, std::uint32_t flags) override;

private:
    const MainWindow& window_;
};

}  // namespace veltrano::windows
