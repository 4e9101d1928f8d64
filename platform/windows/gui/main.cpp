// The Windows program: OLE for the thread, the window, the message loop; at
// the end the libraries bound by name, the icons and OLE go, in that order.
#include <windows.h>

#include "app/Actions.h"
#include "bind/BoundLibrary.h"
#include "gui/MainWindow.h"
#include "gui/Win32Desktop.h"
#include "gui/Win32Handles.h"
#include "gui/resource.h"
#include "web/Win32Automation.h"
#include "web/WinInet.h"

namespace {

using veltrano::windows::UniqueIcon;

UniqueIcon LoadAppIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return UniqueIcon(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(VELTRANO_ICON), IMAGE_ICON,
                                                    GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric),
                                                    0)));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace veltrano;
    const windows::OleSession ole;
    const UniqueIcon largeIcon = LoadAppIcon(instance, SM_CXICON, SM_CYICON);
    const UniqueIcon smallIcon = LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON);
    const windows::BoundLibrariesRelease boundLibraries;
    windows::WinInet internet;
    windows::Win32Automation automation;

    const auto window = windows::MainWindow::Create(instance, {largeIcon.get(), smallIcon.get()});
    if (window == nullptr) return 1;  // ends without showing anything
    windows::Win32Desktop desktop(*window);
    window->SetClickHandler(app::ControlId::按钮1, [&] { app::ParseAndCopy(desktop, {internet, automation}); });
    window->SetClickHandler(app::ControlId::按钮2, [&] { app::ClearBoxes(desktop); });
    window->Show();
    return window->RunMessageLoop();
}
