// The main window's click handlers: the portable actions on the Qt desktop.
#pragma once

#include "app/Desktop.h"
#include "platform/linux/gui/MainWindow.h"
#include "web/FetchPage.h"

namespace veltrano::linuxgui {

// 按钮1 runs ParseAndCopy under a busy cursor, 按钮2 runs ClearBoxes. The
// window, desktop and web platform must outlive the window's handlers.
void ConnectActions(MainWindow& window, app::Desktop& desktop, web::WebPlatform platform);

}  // namespace veltrano::linuxgui
