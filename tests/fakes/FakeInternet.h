// A scripted, recording stand-in for the internet seam.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "fakes/CallLog.h"
#include "web/Internet.h"

namespace veltrano::fakes {

// Contract: every call goes to the log as one line with all its arguments
// (texts quoted, null pointers as null, request flags by name) and its result;
// handles are named internet#N, connection#N, request#N in opening order, and a
// handle used or closed after its close shows as "(closed)". Script it through
// the fields: `failAt` makes that one step fail (a null handle, or false);
// reads deliver `bodyPieces` in order, at most bytesToRead bytes at a time,
// then 0 bytes (a failed send leaves nothing to read; failAt Read fails the
// read after the last piece without touching the count); the header query
// copies `rawHeaders` and a NUL, and fails leaving the buffer untouched when
// they do not fit (or the send or the query failed), as the platform does.
class FakeInternet final : public web::Internet {
public:
    enum class Step { None, Open, Connect, OpenRequest, Send, Read, Query };

    explicit FakeInternet(CallLog& log) : log_(log) {}

    Step failAt = Step::None;
    std::vector<std::string> bodyPieces;  // any bytes, NUL included
    std::string rawHeaders = "HTTP/1.1 200 OK\r\n\r\n";

    // Handles opened and not yet closed.
    [[nodiscard]] int OpenHandleCount() const;

    web::InternetHandle Open(const char* agent, std::uint32_t accessType, const char* proxy, const char* proxyBypass,
                             std::uint32_t flags) override;
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
    bool QueryInfo(web::InternetHandle request, std::uint32_t infoLevel, void* buffer, std::uint32_t* bufferLength,
                   std::uint32_t* index) override;
    bool CloseHandle(web::InternetHandle handle) override;

private:
    struct HandleState {
        std::string name;
        bool open = true;
    };

    web::InternetHandle NewHandle(const char* kind);
    [[nodiscard]] std::string Name(web::InternetHandle handle) const;

    CallLog& log_;
    std::map<web::InternetHandle, HandleState> handles_;
    std::uintptr_t nextHandle_ = 1;
    std::size_t nextPiece_ = 0;
    std::size_t pieceOffset_ = 0;
    bool sent_ = false;
};

// Request flags by their names, joined by "|"; unknown bits in hex.
[[nodiscard]] std::string RequestFlagNames(std::uint32_t flags);

}  // namespace veltrano::fakes
