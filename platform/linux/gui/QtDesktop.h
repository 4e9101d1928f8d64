// The Desktop seam on Qt: the main window's controls, the system clipboard and
// message boxes.
#pragma once

#include "app/Desktop.h"
#include "platform/linux/gui/MainWindow.h"

namespace veltrano::linuxgui {

class QtDesktop final : public app::Desktop {
public:
    explicit QtDesktop(MainWindow& window) : window_(window) {}

    [[nodiscard]] Text GetControlText(app::ControlId control) override;
    void SetControlText(app::ControlId control, TextView text) override;
    // Offered as UTF-8 text to other programs.
    [[nodiscard]] bool PutClipboardText(TextView text) override;
    // Task-modal: every window of the program takes no input until it is closed.
    void ShowMessageBox(TextView text, std::uint32_t flags) override;

private:
    MainWindow& window_;
};

}  // namespace veltrano::linuxgui
