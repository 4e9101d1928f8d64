#include "platform/linux/web/LinuxWebPlatform.h"

#include "platform/linux/web/CurlInternet.h"
#include "platform/linux/web/IconvStream.h"

namespace veltrano::platform::linux_web {

web::WebPlatform LinuxWebPlatform() {
    static CurlInternet internet;
    static IconvAutomation automation;
    return {internet, automation};
}

}  // namespace veltrano::platform::linux_web
