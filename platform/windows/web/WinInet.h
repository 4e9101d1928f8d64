// The page fetcher's HTTP operations on the system's WinINet, bound by name.
// Reads are served from a per-request buffer filled by large reads: the
// fetcher asks for 1024 bytes at a time, and each WinINet call costs far more
// than the copy (under Wine above all).
#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

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

private:
    struct ReadAhead {
        std::vector<char> bytes;
        std::size_t next = 0;  // first byte not yet handed out
        std::size_t end = 0;   // bytes held
    };
    std::unordered_map<web::InternetHandle, ReadAhead> readAhead_;
};

}  // namespace veltrano::windows
