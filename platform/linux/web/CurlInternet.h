// The HTTP operations of the page fetcher on libcurl, behaving as the Windows
// internet service does for the calls the fetcher makes: HTTP/1.1 over http
// and https only, redirects followed by the layer, the raw header block of the
// final response, a process-wide in-memory cookie store, and a body streamed
// through a small buffer so a page is never held twice.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/linux/web/CurlHandles.h"
#include "web/Internet.h"

namespace veltrano::platform::linux_web {

struct CurlInternetOptions {
    // Empty: the system's trust store. Tests name their own authority here.
    std::string certificateAuthorityFile;
    std::chrono::milliseconds connectTimeout{60'000};
    // A transfer that receives nothing for this long ends as a failed read.
    std::chrono::milliseconds idleTimeout{60'000};
};

class CurlInternet final : public web::Internet {
public:
    explicit CurlInternet(CurlInternetOptions options = {});
    ~CurlInternet() override;
    CurlInternet(const CurlInternet&) = delete;
    CurlInternet& operator=(const CurlInternet&) = delete;

    web::InternetHandle Open(const char* agent, std::uint32_t accessType, const char* proxy,
                             const char* proxyBypass, std::uint32_t flags) override;
    web::InternetHandle Connect(web::InternetHandle internet, const char* serverName, std::uint16_t port,
                                const char* userName, const char* password, std::uint32_t service,
                                std::uint32_t flags, std::uintptr_t context) override;
    web::InternetHandle OpenRequest(web::InternetHandle connection, const char* verb, const char* objectName,
                                    const char* version, const char* referrer, const char** acceptTypes,
                                    std::uint32_t flags, std::uintptr_t context) override;
    bool SendRequest(web::InternetHandle request, const char* headers, std::uint32_t headersLength,
                     const void* optional, std::uint32_t optionalLength) override;
    bool ReadFile(web::InternetHandle request, void* buffer, std::uint32_t bytesToRead,
                  std::uint32_t* bytesRead) override;
    bool QueryInfo(web::InternetHandle request, std::uint32_t infoLevel, void* buffer,
                   std::uint32_t* bufferLength, std::uint32_t* index) override;
    bool CloseHandle(web::InternetHandle handle) override;

    struct HandleObject;
    struct Session;
    struct Connection;
    struct Request;

private:
    template <class Kind>
    Kind* Find(web::InternetHandle handle) const;
    web::InternetHandle Register(std::unique_ptr<HandleObject> object);

    CurlInternetOptions options_;
    UniqueCurlShare cookieStore_;
    std::unordered_map<web::InternetHandle, std::unique_ptr<HandleObject>> handles_;
};

}  // namespace veltrano::platform::linux_web
