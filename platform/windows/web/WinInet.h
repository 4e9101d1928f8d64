// The page fetcher's HTTP operations on the system's WinINet, bound by name.
#pragma once

#include "web/Internet.h"

namespace veltrano::windows {

class WinInet final : public web::Internet {
public:
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
};

}  // namespace veltrano::windows
