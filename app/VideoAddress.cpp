#include "app/VideoAddress.h"

#include "text/TextBetween.h"

namespace veltrano::app {

ParsedPage ParseVideoAddress(web::WebPlatform platform, TextView pageAddress) {
    Text responseHeaders;
    const Text page = web::FetchPage(platform, pageAddress, {.responseHeaders = &responseHeaders});
    Text videoAddress = TextBetween(page, kVideoLeftMarker, kVideoRightMarker);
    if (!videoAddress.empty()) return {ParseOutcome::Found, std::move(videoAddress)};
    // A header block that did not fit stays blank too, but then a body came.
    const bool responded = !page.empty() || !TextTrim(responseHeaders).empty();
    return {responded ? ParseOutcome::NoAddress : ParseOutcome::FetchFailed, {}};
}

}  // namespace veltrano::app
