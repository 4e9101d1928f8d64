#include "platform/linux/gui/StartupWarmup.h"

#include <fontconfig/fontconfig.h>

namespace veltrano::linuxgui {

StartupWarmup::StartupWarmup()
    : thread_([this] {
          // Fontconfig is thread-safe; Qt finds its configuration loaded.
          FcInit();
          icon_.load(QStringLiteral(":/veltrano/veltrano.png"), "PNG");
      }) {}

StartupWarmup::~StartupWarmup() {
    if (thread_.joinable()) thread_.join();
}

QImage StartupWarmup::takeIcon() {
    if (thread_.joinable()) thread_.join();
    return std::move(icon_);
}

}  // namespace veltrano::linuxgui
