#include "platform/linux/gui/StartupWarmup.h"

#include <fontconfig/fontconfig.h>

#include <QImageReader>

namespace veltrano::linuxgui {

StartupWarmup::StartupWarmup()
    : thread_([this] {
          // Fontconfig is thread-safe; Qt finds its configuration loaded.
          FcInit();
          // The icon is known to be a PNG: the built-in reader takes it, and no
          // image format plugin is loaded to sniff its contents.
          QImageReader reader(QStringLiteral(":/veltrano/veltrano.png"), "png");
          reader.setAutoDetectImageFormat(false);
          icon_ = reader.read();
      }) {}

StartupWarmup::~StartupWarmup() {
    if (thread_.joinable()) thread_.join();
}

QImage StartupWarmup::takeIcon() {
    if (thread_.joinable()) thread_.join();
    return std::move(icon_);
}

}  // namespace veltrano::linuxgui
