#include "platform/linux/gui/WindowActions.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include "app/Actions.h"

namespace veltrano::linuxgui {

namespace {

// The window takes no input while the page is fetched; the cursor says so.
class BusyCursor {
public:
    BusyCursor() {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        // The fetch keeps the loop away; let the cursor reach the display first.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

void ConnectActions(MainWindow& window, app::Desktop& desktop, WebPlatformSource webPlatform) {
    window.setClickHandler(app::ControlId::按钮1, [&desktop, webPlatform = std::move(webPlatform)] {
        const BusyCursor busy;
        app::ParseAndCopy(desktop, webPlatform());
    });
    window.setClickHandler(app::ControlId::按钮2, [&desktop] { app::ClearBoxes(desktop); });
}

}  // namespace veltrano::linuxgui
