#include "platform/linux/gui/DisplayCheck.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include <QList>

namespace veltrano::linuxgui {

namespace {

constexpr const char* kNoDisplayLine =
    "veltrano: no graphical display could be opened; run it on a desktop, or use "
    "veltrano-cli ADDRESS to print a page's video address without a window\n";

bool HasDisplayVariable() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

struct HeldMessage {
    QtMsgType type;
    QString text;
};
// Only touched on the main thread while the platform starts.
QList<HeldMessage>& HeldMessages() {
    static QList<HeldMessage> messages;
    return messages;
}

// While the platform starts, its messages are held back: a fatal one (no
// display reachable) becomes the plain line above, the others are passed on
// once the start succeeded.
void StartupMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtFatalMsg) {
        HeldMessages().append({type, text});
        return;
    }
    std::fputs(kNoDisplayLine, stderr);
    std::_Exit(kNoDisplayExitCode);
}

}  // namespace

std::unique_ptr<QApplication> OpenApplication(int& argc, char** argv) {
    if (!HasDisplayVariable()) {
        std::fputs(kNoDisplayLine, stderr);
        return nullptr;
    }
    const QtMessageHandler previous = qInstallMessageHandler(StartupMessageHandler);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    for (const HeldMessage& message : std::exchange(HeldMessages(), {})) {
        qt_message_output(message.type, QMessageLogContext(), message.text);
    }
    return application;
}

}  // namespace veltrano::linuxgui
