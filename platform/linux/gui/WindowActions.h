// The main window's click handlers: the portable actions on the Qt desktop.
#pragma once

#include <functional>

#include "app/Desktop.h"
#include "platform/linux/gui/MainWindow.h"
#include "web/FetchPage.h"

namespace veltrano::linuxgui {

// Gives the web platform a fetch runs on; called at each click of 按钮1, so a
// platform bound on first use costs nothing before it.
using WebPlatformSource = std::function<web::WebPlatform()>;

// 按钮1 runs ParseAndCopy under a busy cursor, 按钮2 runs ClearBoxes. The
// window, desktop and web platform must outlive the window's handlers.
void ConnectActions(MainWindow& window, app::Desktop& desktop, WebPlatformSource webPlatform);

}  // namespace veltrano::linuxgui
