#include "platform/linux/web/CurlInternet.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "platform/linux/web/ResponseHeaders.h"

namespace veltrano::platform::linux_web {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxRedirects = 20;
// Unread body the layer holds before it pauses the transfer; a read asks for far less.
constexpr std::size_t kPendingLimit = 256 * 1024;
constexpr long kReceiveBufferSize = 128 * 1024;

std::string_view ViewOf(const char* text) { return text == nullptr ? std::string_view{} : std::string_view{text}; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool IsControlByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

bool HasControlByte(std::string_view text) { return std::any_of(text.begin(), text.end(), IsControlByte); }

// The object path as it goes on the wire: trailing CR/LF stripped, spaces as
// %20; empty when it holds any other control byte (it would split the request).
bool WirePath(std::string_view objectName, std::string& path) {
    while (!objectName.empty() && (objectName.back() == '\r' || objectName.back() == '\n')) {
        objectName.remove_suffix(1);
    }
    if (HasControlByte(objectName)) return false;
    path.clear();
    for (const char c : objectName) {
        if (c == ' ') {
            path += "%20";
        } else {
            path += c;
        }
    }
    if (path.empty()) path.push_back('/');
    return true;
}

// The same path in a form curl's URL parser takes; only used to resolve
// relative redirect targets, never sent.
std::string UrlSafePath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string safe;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || std::string_view("\"<>\\^`{|}").find(c) != std::string_view::npos) {
            safe += '%';
            safe += kHex[byte >> 4];
            safe += kHex[byte & 0x0F];
        } else {
            safe += c;
        }
    }
    return safe;
}

bool IsHttpAddress(std::string_view url) {
    return StartsWithIgnoringCase(url, "http://") || StartsWithIgnoringCase(url, "https://");
}

bool IsRedirectStatus(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The http entry of a proxy list such as "http=host:port https=other:443";
// entries are separated by spaces or semicolons. Empty: http goes direct.
std::string HttpProxyOf(std::string_view list) {
    std::string proxy;
    std::size_t start = 0;
    while (start <= list.size()) {
        const auto end = std::min(list.find_first_of(" ;", start), list.size());
        const std::string_view entry = list.substr(start, end - start);
        if (StartsWithIgnoringCase(entry, "http=")) proxy = std::string(entry.substr(5));
        start = end + 1;
    }
    if (HasControlByte(proxy)) proxy.clear();
    return proxy;
}

std::string HostForUrl(std::string_view host) {
    std::string forUrl;
    const bool literalIpv6 = host.find(':') != std::string_view::npos;
    if (literalIpv6) forUrl += '[';
    forUrl.append(host);
    if (literalIpv6) forUrl += ']';
    return forUrl;
}

}  // namespace

struct CurlInternet::HandleObject {
    virtual ~HandleObject() = default;
};

struct CurlInternet::Session final : HandleObject {
    std::string agent;
    std::string httpProxy;  // empty: direct
};

struct CurlInternet::Connection final : HandleObject {
    std::string agent;
    std::string httpProxy;
    std::string host;
    std::uint16_t port = 0;
};

struct CurlInternet::Request final : HandleObject {
    // What the request was opened with.
    std::string agent;
    std::string httpProxy;
    std::string host;
    std::uint16_t port = 0;
    std::string verb;
    std::string wirePath;
    std::uint32_t flags = 0;
    const CurlInternetOptions* options = nullptr;
    CURLSH* cookieStore = nullptr;

    // The transfer of the current hop. Declared so that the easy handle leaves
    // the multi handle first and the lists it points to outlive it.
    UniqueCurlMulti multi{curl_multi_init()};
    UniqueCurlSlist headerList;
    std::string body;
    std::string url;
    std::string target;
    UniqueCurlEasy easy;
    std::unique_ptr<CurlMultiMembership> membership;

    ResponseHeaders headers;
    std::vector<char> pending;  // body received but not yet read
    std::size_t pendingRead = 0;
    Clock::time_point lastActivity;
    bool paused = false;
    bool finished = false;
    bool failed = false;
    bool sent = false;

    [[nodiscard]] bool secure() const { return (flags & web::kFlagSecure) != 0; }
    [[nodiscard]] std::size_t unread() const { return pending.size() - pendingRead; }
    [[nodiscard]] bool cookiesOn() const { return (flags & web::kFlagNoCookies) == 0; }

    bool StartHop(const std::string& hopUrl, bool firstHop, const std::string& headerText);
    template <class Done>
    void Drive(const Done& done);

    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
};

std::size_t CurlInternet::Request::OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto& request = *static_cast<Request*>(self);
    const std::size_t bytes = size * count;
    request.lastActivity = Clock::now();
    // A header block beyond the limit ends the transfer.
    return request.headers.AddLine({data, bytes}) ? bytes : 0;
}

std::size_t CurlInternet::Request::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto& request = *static_cast<Request*>(self);
    const std::size_t bytes = size * count;
    request.lastActivity = Clock::now();
    if (request.unread() >= kPendingLimit) {
        request.paused = true;
        return CURL_WRITEFUNC_PAUSE;  // curl keeps the data and hands it over again
    }
    if (request.pendingRead == request.pending.size()) {
        request.pending.clear();
        request.pendingRead = 0;
    }
    request.pending.insert(request.pending.end(), data, data + bytes);
    return bytes;
}

template <class Done>
void CurlInternet::Request::Drive(const Done& done) {
    lastActivity = Clock::now();
    while (!finished && !done()) {
        int running = 0;
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            finished = failed = true;
            return;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
            if (message->msg == CURLMSG_DONE) {
                finished = true;
                failed = message->data.result != CURLE_OK;
            }
        }
        if (finished || done()) return;
        const auto idle = Clock::now() - lastActivity;
        if (idle >= options->idleTimeout) {
            finished = failed = true;
            return;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(options->idleTimeout - idle);
        const int wait = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 1, 1000));
        curl_multi_poll(multi.get(), nullptr, 0, wait, nullptr);
    }
}

bool CurlInternet::Request::StartHop(const std::string& hopUrl, bool firstHop, const std::string& headerText) {
    membership.reset();
    easy.reset(curl_easy_init());
    headerList.reset();
    headers = ResponseHeaders{};
    pending.clear();
    pendingRead = 0;
    paused = finished = failed = false;
    url = hopUrl;
    if (!multi || !easy) return false;

    const bool hopIsHttps = StartsWithIgnoringCase(url, "https://");
    const bool proxied = !hopIsHttps && !httpProxy.empty();

    CURL* handle = easy.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    if (firstHop) {
        // The path goes on the wire byte for byte, as the caller's layer gave it.
        target = wirePath;
        if (proxied) {
            target = "http://" + HostForUrl(host) + (port == 80 ? "" : ":" + std::to_string(port)) + wirePath;
        }
        curl_easy_setopt(handle, CURLOPT_REQUEST_TARGET, target.c_str());
    }
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options->connectTimeout.count()));
    curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
    // An empty proxy also keeps curl from reading proxy environment variables.
    const std::string proxyUrl = proxied ? "http://" + httpProxy : std::string();
    curl_easy_setopt(handle, CURLOPT_PROXY, proxyUrl.c_str());
    if (!agent.empty()) curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.c_str());
    if (!options->certificateAuthorityFile.empty()) {
        curl_easy_setopt(handle, CURLOPT_CAINFO, options->certificateAuthorityFile.c_str());
    }
    if (cookiesOn() && cookieStore != nullptr) {
        curl_easy_setopt(handle, CURLOPT_SHARE, cookieStore);
        curl_easy_setopt(handle, CURLOPT_COOKIEFILE, "");
    }

    // The caller's header lines as given; curl's own Accept, Expect and
    // Content-Type are switched off unless the caller sent that header.
    std::vector<std::string> names;
    curl_slist* list = nullptr;
    auto append = [&list](const std::string& line) {
        if (curl_slist* grown = curl_slist_append(list, line.c_str())) list = grown;
    };
    std::size_t start = 0;
    while (start < headerText.size()) {
        auto end = headerText.find('\n', start);
        if (end == std::string::npos) end = headerText.size();
        std::string line = headerText.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        if (line.empty()) continue;
        const auto colon = line.find(':');
        if (colon != std::string::npos) {
            names.push_back(line.substr(0, colon));
            // "Name:" alone would make curl drop the header; "Name;" sends it empty.
            if (line.find_first_not_of(" \t", colon + 1) == std::string::npos) line = line.substr(0, colon) + ";";
        }
        append(line);
    }
    for (const char* own : {"Accept", "Expect", "Content-Type", "Proxy-Connection"}) {
        const bool given = std::any_of(names.begin(), names.end(),
                                       [own](const std::string& name) { return EqualsIgnoringCase(name, own); });
        if (!given) append(std::string(own) + ":");
    }
    headerList.reset(list);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headerList.get());

    if (verb == "GET" && body.empty()) {
        curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    } else if (verb == "HEAD" && body.empty()) {
        curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    } else {
        curl_easy_setopt(handle, CURLOPT_POST, 1L);
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.data());
        if (verb != "POST") curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, verb.c_str());
    }

    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &Request::OnHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &Request::OnBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, this);

    membership = std::make_unique<CurlMultiMembership>(multi.get(), handle);
    return membership->added();
}

CurlInternet::CurlInternet(CurlInternetOptions options) : options_(std::move(options)) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    cookieStore_.reset(curl_share_init());
    if (cookieStore_) curl_share_setopt(cookieStore_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
}

CurlInternet::~CurlInternet() {
    handles_.clear();
    cookieStore_.reset();
    curl_global_cleanup();
}

// The kinds are final, so comparing the exact type is enough, and cheaper than a
// cast search on each of a page's many reads.
template <class Kind>
Kind* CurlInternet::Find(web::InternetHandle handle) const {
    static_assert(std::is_final_v<Kind>);
    const auto found = handles_.find(handle);
    if (found == handles_.end()) return nullptr;
    HandleObject& object = *found->second;
    return typeid(object) == typeid(Kind) ? static_cast<Kind*>(&object) : nullptr;
}

web::InternetHandle CurlInternet::Register(std::unique_ptr<HandleObject> object) {
    web::InternetHandle handle = object.get();
    handles_.emplace(handle, std::move(object));
    return handle;
}

web::InternetHandle CurlInternet::Open(const char* agent, std::uint32_t accessType, const char* proxy,
                                       const char* /*proxyBypass*/, std::uint32_t /*flags*/) {
    auto session = std::make_unique<Session>();
    session->agent = std::string(ViewOf(agent));
    if (HasControlByte(session->agent)) return nullptr;
    if (accessType == web::kOpenTypeProxy) {
        session->httpProxy = HttpProxyOf(ViewOf(proxy));
    } else if (accessType != web::kOpenTypeDirect) {
        return nullptr;
    }
    return Register(std::move(session));
}

web::InternetHandle CurlInternet::Connect(web::InternetHandle internet, const char* serverName, std::uint16_t port,
                                          const char* /*userName*/, const char* /*password*/, std::uint32_t service,
                                          std::uint32_t /*flags*/, std::uintptr_t /*context*/) {
    const Session* session = Find<Session>(internet);
    if (session == nullptr || service != web::kServiceHttp || ViewOf(serverName).empty()) return nullptr;
    auto connection = std::make_unique<Connection>();
    connection->agent = session->agent;
    connection->httpProxy = session->httpProxy;
    connection->host = serverName;
    connection->port = port;
    return Register(std::move(connection));
}

web::InternetHandle CurlInternet::OpenRequest(web::InternetHandle connectionHandle, const char* verb,
                                              const char* objectName, const char* /*version*/,
                                              const char* /*referrer*/, const char** /*acceptTypes*/,
                                              std::uint32_t flags, std::uintptr_t /*context*/) {
    const Connection* connection = Find<Connection>(connectionHandle);
    if (connection == nullptr) return nullptr;
    auto request = std::make_unique<Request>();
    // Control bytes in the host or path would let the address write headers.
    const std::string_view host = connection->host;
    if (HasControlByte(host) || host.find_first_of(" /?#@") != std::string_view::npos) return nullptr;
    if (!WirePath(ViewOf(objectName), request->wirePath)) return nullptr;
    request->verb = ViewOf(verb).empty() ? std::string("GET") : std::string(verb);
    if (HasControlByte(request->verb) || request->verb.find(' ') != std::string::npos) return nullptr;
    request->agent = connection->agent;
    request->httpProxy = connection->httpProxy;
    request->host = connection->host;
    request->flags = flags;
    const std::uint16_t defaultPort = request->secure() ? 443 : 80;
    request->port = connection->port == 0 ? defaultPort : connection->port;
    request->options = &options_;
    request->cookieStore = cookieStore_.get();
    return Register(std::move(request));
}

bool CurlInternet::SendRequest(web::InternetHandle requestHandle, const char* headers, std::uint32_t headersLength,
                               const void* optional, std::uint32_t optionalLength) {
    Request* request = Find<Request>(requestHandle);
    if (request == nullptr || request->sent) return false;
    std::string headerText;
    if (headers != nullptr) {
        headerText = headersLength == UINT32_MAX ? std::string(headers) : std::string(headers, headersLength);
    }
    if (optional != nullptr) request->body.assign(static_cast<const char*>(optional), optionalLength);

    std::string url = std::string(request->secure() ? "https://" : "http://") + HostForUrl(request->host) + ":" +
                      std::to_string(request->port) + UrlSafePath(request->wirePath);
    for (int hop = 0;; ++hop) {
        if (!request->StartHop(url, hop == 0, headerText)) return false;
        request->Drive([request] { return request->headers.complete(); });
        // No response at all (refused, time-out, TLS failure): the send failed.
        if (!request->headers.complete()) return false;

        const int status = request->headers.status();
        if ((request->flags & web::kFlagNoAutoRedirect) != 0 || !IsRedirectStatus(status) || hop == kMaxRedirects) {
            break;
        }
        const char* next = nullptr;
        curl_easy_getinfo(request->easy.get(), CURLINFO_REDIRECT_URL, &next);
        if (next == nullptr || !IsHttpAddress(next)) break;
        url = next;
        if (status != 307 && status != 308 && request->verb != "GET" && request->verb != "HEAD") {
            request->verb = "GET";
            request->body.clear();
        }
    }
    request->sent = true;
    return true;
}

bool CurlInternet::ReadFile(web::InternetHandle requestHandle, void* buffer, std::uint32_t bytesToRead,
                            std::uint32_t* bytesRead) {
    Request* request = Find<Request>(requestHandle);
    if (request == nullptr || bytesRead == nullptr) return false;
    *bytesRead = 0;
    if (!request->sent || (buffer == nullptr && bytesToRead > 0)) return false;
    while (request->unread() == 0 && !request->finished) {
        if (request->paused) {
            request->paused = false;
            curl_easy_pause(request->easy.get(), CURLPAUSE_CONT);
        }
        request->Drive([request] { return request->unread() > 0 || request->paused; });
    }
    const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(request->unread(), bytesToRead));
    if (count > 0) {
        std::memcpy(buffer, request->pending.data() + request->pendingRead, count);
        request->pendingRead += count;
        *bytesRead = count;
        return true;
    }
    return !request->failed;
}

bool CurlInternet::QueryInfo(web::InternetHandle requestHandle, std::uint32_t infoLevel, void* buffer,
                             std::uint32_t* bufferLength, std::uint32_t* /*index*/) {
    const Request* request = Find<Request>(requestHandle);
    if (request == nullptr || bufferLength == nullptr) return false;
    if (infoLevel != web::kQueryRawHeadersCrlf || !request->sent) return false;
    const std::string& block = request->headers.block();
    if (buffer == nullptr || block.size() + 1 > *bufferLength) {
        *bufferLength = static_cast<std::uint32_t>(std::min<std::size_t>(block.size() + 1, UINT32_MAX));
        return false;  // the buffer stays as it was
    }
    std::memcpy(buffer, block.data(), block.size());
    static_cast<char*>(buffer)[block.size()] = '\0';
    *bufferLength = static_cast<std::uint32_t>(block.size());
    return true;
}

bool CurlInternet::CloseHandle(web::InternetHandle handle) { return handles_.erase(handle) == 1; }

}  // namespace veltrano::platform::linux_web
