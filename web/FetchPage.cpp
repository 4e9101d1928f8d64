#include "web/FetchPage.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

#include "text/TextBetween.h"
#include "web/Address.h"
#include "web/ConvertCharset.h"
#include "web/Cookies.h"

namespace veltrano::web {

namespace {

constexpr std::uint32_t kReadSize = 1024;
// The body is looked at for a NUL in spans of this size, small enough to be still in the cache.
constexpr std::size_t kNulCheckSpan = 64 * 1024;
// Past this a large page grows fourfold, so fewer of its bytes are copied (and fewer
// fresh blocks touched) on the way in; capacity that is never written takes no
// memory, only addresses.
constexpr std::size_t kFourfoldGrowthFrom = std::size_t{1} << 20;
// A 32-bit address space grows fourfold only while the reservation stays modest;
// larger pages double as they would anyway.
constexpr std::size_t kFourfoldGrowthUpTo = sizeof(std::size_t) >= 8 ? SIZE_MAX / 4 : std::size_t{64} << 20;
// With a 64-bit address space the first growth past 1 MiB takes this much at
// once, so a page of up to this size is copied once, at 1 MiB, not at each growth.
constexpr std::size_t kLargePageSpan = sizeof(std::size_t) >= 8 ? std::size_t{256} << 20 : 0;
constexpr int kRawHeaderBufferSize = 5000;
// "utf-8" counts in the body only when it begins at one of these positions.
constexpr int kUtf8MarkerLimit = 500;
constexpr TextView kUtf8Marker = "utf-8";

// One open handle of the internet seam; closing it is the owner's end, so the
// handles opened later, declared later, are closed first.
class OwnedInternetHandle {
public:
    OwnedInternetHandle(Internet& internet, InternetHandle handle) noexcept : internet_(internet), handle_(handle) {}
    OwnedInternetHandle(const OwnedInternetHandle&) = delete;
    OwnedInternetHandle& operator=(const OwnedInternetHandle&) = delete;
    ~OwnedInternetHandle() {
        if (handle_ != nullptr) internet_.CloseHandle(handle_);
    }

    [[nodiscard]] InternetHandle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }

private:
    Internet& internet_;
    InternetHandle handle_;
};

// A Text at the seam: its bytes with a NUL, or nullptr when empty.
const char* TextArgument(const Text& text) { return text.empty() ? nullptr : text.c_str(); }

template <class Value>
Value& SuppliedOr(Value* supplied, Value& scratch) {
    return supplied != nullptr ? *supplied : scratch;
}

Text AgentText(TextView requestHeaders) {
    if (TextFind(requestHeaders, "User-Agent:", 0, true) == -1) return Text(kDefaultAgent);
    Text agent = TextTrim(TextBetween(requestHeaders, "User-Agent:", "\r\n"));
    // A User-Agent line that ends the text has no "\r\n" after it.
    if (agent.empty()) agent = HeaderValue(requestHeaders);
    return agent;
}

std::uint32_t RequestFlags(TextView address, const FetchOptions& options) {
    std::uint32_t flags = kFlagReload | kFlagNeedFile;
    if (options.cookies != nullptr) flags |= kFlagNoCookies;
    if (options.noAutoRedirect) flags |= kFlagNoAutoRedirect;
    flags |= TextCompare(TextToLower(TextLeft(address, 5)), "https") == 0 ? kFlagSecure : kFlagIgnoreRedirectToHttps;
    return flags;
}

void AppendDefaultHeaders(Text& requestHeaders, TextView address, const Text* cookies) {
    if (TextFind(requestHeaders, "Referer:") == -1) {
        if (requestHeaders.empty()) {
            requestHeaders = TextConcat("Referer: ", address);
        } else {
            requestHeaders.append("\r\nReferer: ").append(address);
        }
    }
    if (TextFind(requestHeaders, "Accept:") == -1) requestHeaders.append("\r\nAccept: */*");
    if (TextFind(requestHeaders, "Accept-Language:") == -1) requestHeaders.append("\r\nAccept-Language: zh-cn");
    if (TextFind(requestHeaders, "Content-Type:") == -1) {
        requestHeaders.append("\r\nContent-Type: application/x-www-form-urlencoded");
    }
    if (cookies != nullptr && !cookies->empty()) requestHeaders.append("\r\nCookie: ").append(*cookies);
}

// The body as read, NUL bytes included, and where its first NUL is (npos: none).
struct Body {
    Text bytes;
    std::size_t firstNul = Text::npos;
};

// Four times the text, and on a 64-bit build at least kLargePageSpan; where the
// addresses cannot be had, it grows as it would anyway.
void ReserveAhead(Text& bytes) {
    try {
        bytes.reserve(std::max(4 * bytes.size(), kLargePageSpan));
    } catch (const std::bad_alloc&) {
    }
}

// Looks for the first NUL in the bytes not yet looked at, while they are still in the cache.
void LookForNul(Body& body, std::size_t& checked) {
    const Text& bytes = body.bytes;
    if (body.firstNul == Text::npos && checked < bytes.size()) {
        if (const auto* nul = static_cast<const char*>(std::memchr(bytes.data() + checked, 0, bytes.size() - checked))) {
            body.firstNul = static_cast<std::size_t>(nul - bytes.data());
        }
    }
    checked = bytes.size();
}

// The whole body, each read landing zeroed at the end of the text itself, so the
// page is copied once on its way in and looked at for a NUL while it is fresh in
// the cache. A full text reads into a piece first, so the last read (of 0 bytes)
// never grows it. A failed read ends it like the end of the body.
Body ReadBody(Internet& internet, InternetHandle request) {
    Body body;
    Text& bytes = body.bytes;
    std::size_t checked = 0;  // bytes looked at for a NUL
    std::uint32_t count = 0;
    for (;;) {
        const std::size_t size = bytes.size();
        if (bytes.capacity() - size < kReadSize) {
            std::array<char, kReadSize> piece{};
            if (!internet.ReadFile(request, piece.data(), kReadSize, &count) || count == 0) break;
            if (size >= kFourfoldGrowthFrom && size <= kFourfoldGrowthUpTo) ReserveAhead(bytes);
            bytes.append(piece.data(), std::min(count, kReadSize));
        } else {
            bytes.resize(size + kReadSize);
            const bool read = internet.ReadFile(request, bytes.data() + size, kReadSize, &count);
            bytes.resize(size + (read ? std::min(count, kReadSize) : 0));
            if (!read || count == 0) break;
        }
        if (bytes.size() - checked >= kNulCheckSpan) LookForNul(body, checked);
    }
    LookForNul(body, checked);
    return body;
}

BytesView ViewAsBytes(TextView text) { return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}; }

// A block that does not fit leaves the buffer, and so the text, as 5000 spaces.
Text QueryRawHeaders(Internet& internet, InternetHandle request) {
    Text buffer = TextBlank(kRawHeaderBufferSize);
    std::uint32_t length = kRawHeaderBufferSize;
    static_cast<void>(internet.QueryInfo(request, kQueryRawHeadersCrlf, buffer.data(), &length, nullptr));
    buffer.resize(std::min(buffer.size(), buffer.find('\0')));
    return buffer;
}

// Opens the three handles, sends, reads the body and the raw header block, and
// closes the handles (scope end, newest first). Nothing is written to the
// caller's parameters when no request handle is obtained.
std::optional<Body> Exchange(Internet& internet, TextView address, const FetchOptions& options, Text& requestHeaders,
                             Bytes& bodyBytes, Text& responseHeaders) {
    const Text verb = options.method == 1 ? "POST" : "GET";
    const Text agent = AgentText(requestHeaders);

    const Text proxyList = options.proxy ? TextConcat("http=", *options.proxy) : Text();
    const OwnedInternetHandle session(
        internet, options.proxy ? internet.Open(TextArgument(agent), kOpenTypeProxy, proxyList.c_str(), "", 0)
                                : internet.Open(TextArgument(agent), kOpenTypeDirect, nullptr, nullptr, 0));
    if (!session) return std::nullopt;

    // The seam carries 16 bits: a port outside them would silently reach another port.
    const std::int32_t port = AddressPort(address);
    if (port < 1 || port > 65535) return std::nullopt;
    const Text host = AddressHost(address);
    const OwnedInternetHandle connection(internet, internet.Connect(session.get(), TextArgument(host),
                                                                    static_cast<std::uint16_t>(port), nullptr, nullptr,
                                                                    kServiceHttp, 0, 0));
    if (!connection) return std::nullopt;

    const Text path = AddressPath(address);
    const OwnedInternetHandle request(
        internet, internet.OpenRequest(connection.get(), verb.c_str(), TextArgument(path), "HTTP/1.1", nullptr, nullptr,
                                       RequestFlags(address, options), 0));
    if (!request) return std::nullopt;

    AppendDefaultHeaders(requestHeaders, address, options.cookies);
    const auto headersLength = static_cast<std::uint32_t>(requestHeaders.size());
    if (options.method == 0) {
        static constexpr char kNoBody[] = "";
        static_cast<void>(internet.SendRequest(request.get(), TextArgument(requestHeaders), headersLength, kNoBody, 0));
    } else {
        if (bodyBytes.empty()) bodyBytes = TextToBytes(options.bodyText);
        static_cast<void>(internet.SendRequest(request.get(), TextArgument(requestHeaders), headersLength,
                                               bodyBytes.empty() ? nullptr : bodyBytes.data(),
                                               static_cast<std::uint32_t>(bodyBytes.size())));
    }

    Body body = ReadBody(internet, request.get());
    responseHeaders = QueryRawHeaders(internet, request.get());
    return body;
}

// Location (Content-Location too: the test matches anywhere in a line, the last
// line wins) and the name=value parts of the Set-Cookie lines, joined by "; ".
void ScanHeaderLines(TextView responseHeaders, Text& redirectAddress, Text& receivedCookies) {
    receivedCookies.clear();
    for (TextView line : TextSplit(responseHeaders, "\r\n")) {
        if (TextFind(line, "Location:") != -1) redirectAddress = HeaderValue(line);
        if (TextFind(line, "Set-Cookie") != -1) {
            receivedCookies.append(TextTrim(TextBetween(line, "Set-Cookie:", ";"))).append("; ");
        }
    }
    receivedCookies = TextLeft(receivedCookies, TextLength(receivedCookies) - 2);
}

bool IsUtf8Page(TextView body, TextView responseHeaders) {
    // Only a match beginning before the limit counts, so the bytes after it need not be searched.
    const std::size_t searched = std::min(body.size(), std::size_t{kUtf8MarkerLimit - 1} + kUtf8Marker.size() - 1);
    const int at = BytesFind(ViewAsBytes(body.substr(0, searched)), ViewAsBytes(kUtf8Marker));
    if (at != -1 && at < kUtf8MarkerLimit) return true;
    return TextFind(responseHeaders, kUtf8Marker, 0, true) != -1;
}

}  // namespace

Text FetchPage(WebPlatform platform, TextView address, const FetchOptions& options) {
    Text scratchReceivedCookies;
    Text scratchRequestHeaders;
    Text scratchRedirectAddress;
    Bytes scratchBodyBytes;
    Text scratchResponseHeaders;
    Text& receivedCookies = SuppliedOr(options.receivedCookies, scratchReceivedCookies);
    Text& requestHeaders = SuppliedOr(options.requestHeaders, scratchRequestHeaders);
    Text& redirectAddress = SuppliedOr(options.redirectAddress, scratchRedirectAddress);
    Bytes& bodyBytes = SuppliedOr(options.bodyBytes, scratchBodyBytes);
    Text& responseHeaders = SuppliedOr(options.responseHeaders, scratchResponseHeaders);

    std::optional<Body> body =
        Exchange(platform.internet, address, options, requestHeaders, bodyBytes, responseHeaders);
    if (!body) return {};

    ScanHeaderLines(responseHeaders, redirectAddress, receivedCookies);
    if (options.cookies != nullptr) static_cast<void>(MergeCookies(*options.cookies, receivedCookies));
    if (redirectAddress.empty()) redirectAddress = responseHeaders;
    Text& page = body->bytes;
    if (IsUtf8Page(page, responseHeaders)) {
        const Bytes converted = ConvertCharset(platform.automation, ViewAsBytes(page));
        Text().swap(page);  // gone before the converted copy is made
        return BytesToText(converted);
    }
    // The page is the result: cut at its first NUL, not copied.
    if (body->firstNul != Text::npos) page.resize(body->firstNul);
    return std::move(page);
}

}  // namespace veltrano::web
