// The libcurl web platform as a module of its own, loaded by the window at the
// first fetch: the many libraries libcurl brings cost start-up time otherwise.
#include "platform/linux/gui/WebPlatformModule.h"

#include "platform/linux/web/LinuxWebPlatform.h"

extern "C" __attribute__((visibility("default"))) const veltrano::web::WebPlatform* veltrano_web_platform() {
    static const veltrano::web::WebPlatform platform = veltrano::platform::linux_web::LinuxWebPlatform();
    return &platform;
}
