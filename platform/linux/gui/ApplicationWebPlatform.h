// The web platform the window's fetches run on.
#pragma once

#include "web/FetchPage.h"

namespace veltrano::linuxgui {

// The process's HTTP and charset services, bound at the first call.
[[nodiscard]] web::WebPlatform ApplicationWebPlatform();

}  // namespace veltrano::linuxgui
