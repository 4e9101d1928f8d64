#include "web/WinInet.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "bind/BoundLibrary.h"

namespace veltrano::windows {
namespace {

// Each bound at its own first call; wininet.dll is loaded at the first of them.
#define VELTRANO_WININET_FUNCTION(name)                                          \
    BoundFunction<decltype(&::name)>& Bound##name() {                            \
        static BoundFunction<decltype(&::name)> function(WinInetLibrary(), #name); \
        return function;                                                         \
    }
VELTRANO_WININET_FUNCTION(InternetOpenA)
VELTRANO_WININET_FUNCTION(InternetConnectA)
VELTRANO_WININET_FUNCTION(HttpOpenRequestA)
VELTRANO_WININET_FUNCTION(HttpSendRequestA)
VELTRANO_WININET_FUNCTION(InternetReadFile)
VELTRANO_WININET_FUNCTION(HttpQueryInfoA)
VELTRANO_WININET_FUNCTION(InternetCloseHandle)
VELTRANO_WININET_FUNCTION(InternetSetOptionA)
#undef VELTRANO_WININET_FUNCTION

// Wine answers the raw header query of a request that never got a response
// (a failed send) with an empty block; Windows fails it and leaves the buffer.
// Without a status line there is no response.
bool HasResponse(decltype(&::HttpQueryInfoA) query, web::InternetHandle request) {
    DWORD status = 0;
    DWORD length = sizeof status;
    return query(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr) != FALSE &&
           status != 0;
}

// WinINet writes the object name into the request as it is, so a CR or LF in
// it would start a header line of the caller's making (and FetchPage puts the
// same address in its Referer line). Trailing CR/LF, as a pasted line ends, is
// dropped; any other control byte refuses the request before anything is sent.
std::optional<std::string> SafeObjectName(const char* objectName) {
    std::string path = objectName != nullptr ? objectName : "";
    while (!path.empty() && (path.back() == '\r' || path.back() == '\n')) path.pop_back();
    const bool clean = std::none_of(path.begin(), path.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
    if (!clean) return std::nullopt;
    return path;
}

// Windows gives up on a connection after 60 s and on a silent server after
// 30 s by default; Wine waits for ever. The same limits, set on the request
// (Wine reads them from there), make both end a stalled fetch as a failed read.
void LimitWaiting(web::InternetHandle request) {
    const auto setOption = BoundInternetSetOptionA().Get();
    if (setOption == nullptr) return;
    const std::pair<DWORD, DWORD> limits[] = {{INTERNET_OPTION_CONNECT_TIMEOUT, 60'000},
                                              {INTERNET_OPTION_SEND_TIMEOUT, 30'000},
                                              {INTERNET_OPTION_RECEIVE_TIMEOUT, 30'000}};
    for (auto [option, milliseconds] : limits) {
        static_cast<void>(setOption(request, option, &milliseconds, sizeof milliseconds));
    }
}

}  // namespace

web::InternetHandle WinInet::Open(const char* agent, std::uint32_t accessType, const char* proxy,
                                  const char* proxyBypass, std::uint32_t flags) {
    const auto open = BoundInternetOpenA().Get();
    if (open == nullptr) return nullptr;
    return open(agent, accessType, proxy, proxyBypass, flags);
}

web::InternetHandle WinInet::Connect(web::InternetHandle internet, const char* serverName, std::uint16_t port,
                                     const char* userName, const char* password, std::uint32_t service,
                                     std::uint32_t flags, std::uintptr_t context) {
    const auto connect = BoundInternetConnectA().Get();
    if (connect == nullptr) return nullptr;
    return connect(internet, serverName, port, userName, password, service, flags, context);
}

web::InternetHandle WinInet::OpenRequest(web::InternetHandle connection, const char* verb, const char* objectName,
                                         const char* version, const char* referrer, const char** acceptTypes,
                                         std::uint32_t flags, std::uintptr_t context) {
    const auto openRequest = BoundHttpOpenRequestA().Get();
    if (openRequest == nullptr) return nullptr;
    const std::optional<std::string> path = SafeObjectName(objectName);
    if (!path) {
        SetLastError(ERROR_INTERNET_INVALID_URL);
        return nullptr;
    }
    web::InternetHandle request =
        openRequest(connection, verb, path->c_str(), version, referrer, acceptTypes, flags, context);
    if (request != nullptr) LimitWaiting(request);
    return request;
}

bool WinInet::SendRequest(web::InternetHandle request, const char* headers, std::uint32_t headersLength,
                          const void* optional, std::uint32_t optionalLength) {
    const auto send = BoundHttpSendRequestA().Get();
    if (send == nullptr) return false;
    // WinINet declares the optional data writable but only reads it.
    return send(request, headers, headersLength, const_cast<void*>(optional), optionalLength) != FALSE;
}

bool WinInet::ReadFile(web::InternetHandle request, void* buffer, std::uint32_t bytesToRead,
                       std::uint32_t* bytesRead) {
    constexpr std::size_t kReadAheadSize = 1024 * 1024;
    if (bytesRead != nullptr) *bytesRead = 0;
    ReadAhead& ahead = readAhead_[request];
    if (ahead.next == ahead.end) {
        const auto read = BoundInternetReadFile().Get();
        if (read == nullptr) return false;
        ahead.bytes.resize(kReadAheadSize);
        DWORD count = 0;
        if (read(request, ahead.bytes.data(), static_cast<DWORD>(ahead.bytes.size()), &count) == FALSE) return false;
        ahead.next = 0;
        ahead.end = count;
        if (count == 0) return true;  // the end of the body
    }
    const std::size_t count = std::min<std::size_t>(bytesToRead, ahead.end - ahead.next);
    std::copy_n(ahead.bytes.data() + ahead.next, count, static_cast<char*>(buffer));
    ahead.next += count;
    if (bytesRead != nullptr) *bytesRead = static_cast<std::uint32_t>(count);
    return true;
}

bool WinInet::QueryInfo(web::InternetHandle request, std::uint32_t infoLevel, void* buffer,
                        std::uint32_t* bufferLength, std::uint32_t* index) {
    const auto query = BoundHttpQueryInfoA().Get();
    if (query == nullptr) return false;
    if (infoLevel == HTTP_QUERY_RAW_HEADERS_CRLF && !HasResponse(query, request)) {
        SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
        return false;
    }
    DWORD length = bufferLength != nullptr ? *bufferLength : 0;
    DWORD position = index != nullptr ? *index : 0;
    const bool ok = query(request, infoLevel, buffer, &length, index != nullptr ? &position : nullptr) != FALSE;
    if (bufferLength != nullptr) *bufferLength = length;
    if (index != nullptr) *index = position;
    return ok;
}

bool WinInet::CloseHandle(web::InternetHandle handle) {
    readAhead_.erase(handle);
    const auto close = BoundInternetCloseHandle().Get();
    return close != nullptr && close(handle) != FALSE;
}

}  // namespace veltrano::windows
