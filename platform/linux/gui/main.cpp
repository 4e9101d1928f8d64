// veltrano: the main window on the desktop.
#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include "platform/linux/gui/ApplicationWebPlatform.h"
#include "platform/linux/gui/DisplayCheck.h"
#include "platform/linux/gui/MainWindow.h"
#include "platform/linux/gui/QtDesktop.h"
#include "platform/linux/gui/StartupWarmup.h"
#include "platform/linux/gui/WindowActions.h"

int main(int argc, char** argv) {
    using namespace veltrano::linuxgui;
    StartupWarmup warmup;
    const std::unique_ptr<QApplication> application = OpenApplication(argc, argv);
    if (!application) return kNoDisplayExitCode;
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(warmup.takeIcon())));
    QGuiApplication::setDesktopFileName(QStringLiteral("veltrano"));

    MainWindow window;
    QtDesktop desktop(window);
    ConnectActions(window, desktop, ApplicationWebPlatform);
    window.show();
    window.activateWindow();
    return QApplication::exec();
}
