// The seven HTTP operations the page fetcher asks of the platform, with the
// arguments and results of the Windows internet service it was written for.
// Texts cross this seam as NUL-terminated pointers; an empty Text is nullptr
// unless the caller says otherwise.
#pragma once

#include <cstdint>

namespace veltrano::web {

using InternetHandle = void*;

inline constexpr std::uint32_t kOpenTypeDirect = 1;
inline constexpr std::uint32_t kOpenTypeProxy = 3;
inline constexpr std::uint32_t kServiceHttp = 3;
inline constexpr std::uint32_t kQueryRawHeadersCrlf = 22;

inline constexpr std::uint32_t kFlagReload = 0x80000000u;
inline constexpr std::uint32_t kFlagNeedFile = 0x00000010u;
inline constexpr std::uint32_t kFlagNoCookies = 0x00080000u;
inline constexpr std::uint32_t kFlagNoAutoRedirect = 0x00200000u;
inline constexpr std::uint32_t kFlagSecure = 0x00800000u;
inline constexpr std::uint32_t kFlagIgnoreRedirectToHttps = 0x00004000u;

class Internet {
public:
    virtual ~Internet() = default;

    // A null handle means failure.
    virtual InternetHandle Open(const char* agent, std::uint32_t accessType, const char* proxy,
                                const char* proxyBypass, std::uint32_t flags) = 0;
    virtual InternetHandle Connect(InternetHandle internet, const char* serverName, std::uint16_t port,
                                   const char* userName, const char* password, std::uint32_t service,
                                   std::uint32_t flags, std::uintptr_t context) = 0;
    virtual InternetHandle OpenRequest(InternetHandle connection, const char* verb, const char* objectName,
                                       const char* version, const char* referrer, const char** acceptTypes,
                                       std::uint32_t flags, std::uintptr_t context) = 0;
    virtual bool SendRequest(InternetHandle request, const char* headers, std::uint32_t headersLength,
                             const void* optional, std::uint32_t optionalLength) = 0;
    // The end of the body is a successful read of 0 bytes.
    virtual bool ReadFile(InternetHandle request, void* buffer, std::uint32_t bytesToRead,
                          std::uint32_t* bytesRead) = 0;
    // Fails, leaving the buffer untouched, when the answer and its NUL do not fit.
    virtual bool QueryInfo(InternetHandle request, std::uint32_t infoLevel, void* buffer,
                           std::uint32_t* bufferLength, std::uint32_t* index) = 0;
    virtual bool CloseHandle(InternetHandle handle) = 0;
};

}  // namespace veltrano::web
