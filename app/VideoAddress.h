// The parse step shared by the window's button and the command-line companion:
// fetch the page, cut the video address out of its script, and say which of
// the three outcomes it was.
#pragma once

#include "text/Text.h"
#include "web/FetchPage.h"

namespace veltrano::app {

// The markers around the video address in the page's script.
inline constexpr TextView kVideoLeftMarker = "var videoUrl = \"";
inline constexpr TextView kVideoRightMarker = "\";\r\n        var defaultImg";

enum class ParseOutcome {
    Found,        // videoAddress holds the address
    NoAddress,    // a response arrived, but its page held no video address
    FetchFailed,  // no response at all: refused, unresolvable, time-out, TLS failure, bad address
};

struct ParsedPage {
    ParseOutcome outcome;
    Text videoAddress;  // empty unless Found
};

// FetchPage with the address alone (the same request on the wire as a plain
// fetch), then the markers. "No response" is read off FetchPage's own raw
// header block: it stays blank when nothing came back.
[[nodiscard]] ParsedPage ParseVideoAddress(web::WebPlatform platform, TextView pageAddress);

}  // namespace veltrano::app
