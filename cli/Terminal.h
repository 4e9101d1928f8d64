// What the command line asks of its platform: the process's web services, and
// the terminal's encoding on either side of the GBK texts.
#pragma once

#include <string>
#include <string_view>

#include "text/Text.h"
#include "web/FetchPage.h"

namespace veltrano::cli {

// One HTTP service (so one cookie store) for the whole process.
[[nodiscard]] web::WebPlatform ProcessWebPlatform();
// An address as the terminal gave it, as the GBK text the window's edit box would hold.
[[nodiscard]] Text FromTerminal(std::string_view text);
// A GBK text in the terminal's encoding.
[[nodiscard]] std::string ToTerminal(TextView text);

}  // namespace veltrano::cli
