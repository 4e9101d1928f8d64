// The web platform the window's fetches run on.
#pragma once

#include "web/FetchPage.h"

namespace veltrano::linuxgui {

// The libcurl and iconv platform from the web module, which is loaded at the
// first call and released at exit. Without the module, a platform on which
// every fetch fails, so the user is told the page could not be downloaded.
[[nodiscard]] web::WebPlatform ApplicationWebPlatform();

}  // namespace veltrano::linuxgui
