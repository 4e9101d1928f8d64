// veltrano: the main window on the desktop.
#include <QApplication>
#include <QIcon>

#include "platform/linux/gui/ApplicationWebPlatform.h"
#include "platform/linux/gui/DisplayCheck.h"
#include "platform/linux/gui/MainWindow.h"
#include "platform/linux/gui/QtDesktop.h"
#include "platform/linux/gui/WindowActions.h"

int main(int argc, char** argv) {
    using namespace veltrano::linuxgui;
    const std::unique_ptr<QApplication> application = OpenApplication(argc, argv);
    if (!application) return kNoDisplayExitCode;
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/veltrano/veltrano.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("veltrano"));

    MainWindow window;
    QtDesktop desktop(window);
    ConnectActions(window, desktop, ApplicationWebPlatform());
    window.show();
    window.activateWindow();
    return QApplication::exec();
}
