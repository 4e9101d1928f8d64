// The process's web platform on Linux, bound on first use.
#pragma once

#include "web/FetchPage.h"

namespace veltrano::platform::linux_web {

// One HTTP service (so one cookie store) and one stream maker for the whole process.
[[nodiscard]] web::WebPlatform LinuxWebPlatform();

}  // namespace veltrano::platform::linux_web
