// The page fetcher: one HTTP or HTTPS request for a page, its body as GBK text.
#pragma once

#include <cstdint>
#include <optional>

#include "text/Text.h"
#include "web/Automation.h"
#include "web/Internet.h"

namespace veltrano::web {

// The platform services a fetch runs on.
struct WebPlatform {
    Internet& internet;
    Automation& automation;
};

// The optional parameters, in their order. A null pointer is a parameter not
// supplied; in/out and out parameters are written in place, and only on the
// paths that reach them.
struct FetchOptions {
    std::int32_t method = 0;          // 1 = POST; any non-zero value attaches a body
    Text bodyText;                    // used when a body is attached and bodyBytes is empty
    Text* cookies = nullptr;          // supplied: the platform's own cookie handling is off
    Text* receivedCookies = nullptr;  // out
    Text* requestHeaders = nullptr;   // in/out: the caller receives the text that was sent
    Text* redirectAddress = nullptr;  // out; never cleared on entry
    bool noAutoRedirect = false;
    Bytes* bodyBytes = nullptr;         // in/out
    std::optional<Text> proxy;          // supplied, even empty: opened through "http=" + proxy
    Text* responseHeaders = nullptr;    // out: the raw response header block
};

inline constexpr TextView kDefaultAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; ZK9QW; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";

// The response body, converted from UTF-8 when the page or its headers say
// "utf-8", up to its first NUL; empty when no request handle was obtained.
[[nodiscard]] Text FetchPage(WebPlatform platform, TextView address, const FetchOptions& options = {});

}  // namespace veltrano::web
