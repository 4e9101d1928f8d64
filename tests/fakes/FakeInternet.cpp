#include "fakes/FakeInternet.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace veltrano::fakes {

namespace {

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

std::string AcceptTypes(const char** acceptTypes) {
    if (acceptTypes == nullptr) return "null";
    std::string list = "{";
    for (const char** type = acceptTypes; *type != nullptr; ++type) {
        if (type != acceptTypes) list += ", ";
        list += Quoted(*type);
    }
    return list + "}";
}

}  // namespace

std::string RequestFlagNames(std::uint32_t flags) {
    static const std::pair<std::uint32_t, const char*> kNames[] = {
        {web::kFlagReload, "RELOAD"},
        {web::kFlagNeedFile, "NEED_FILE"},
        {web::kFlagNoCookies, "NO_COOKIES"},
        {web::kFlagNoAutoRedirect, "NO_AUTO_REDIRECT"},
        {web::kFlagSecure, "SECURE"},
        {web::kFlagIgnoreRedirectToHttps, "IGNORE_REDIRECT_TO_HTTPS"},
    };
    std::string names;
    for (const auto& [bit, name] : kNames) {
        if ((flags & bit) == 0) continue;
        if (!names.empty()) names += "|";
        names += name;
        flags &= ~bit;
    }
    if (flags != 0) {
        // Two appends: GCC 12's -Wrestrict misreads the concatenated temporary in 32-bit builds.
        if (!names.empty()) names += "|";
        names += Hex(flags);
    }
    return names.empty() ? "0" : names;
}

int FakeInternet::OpenHandleCount() const {
    return static_cast<int>(
        std::count_if(handles_.begin(), handles_.end(), [](const auto& entry) { return entry.second.open; }));
}

web::InternetHandle FakeInternet::NewHandle(const char* kind) {
    const std::uintptr_t number = nextHandle_++;
    auto* handle = reinterpret_cast<web::InternetHandle>(number);
    handles_[handle] = {std::string(kind) + "#" + std::to_string(number), true};
    return handle;
}

std::string FakeInternet::Name(web::InternetHandle handle) const {
    if (handle == nullptr) return "null";
    const auto found = handles_.find(handle);
    if (found == handles_.end()) return "unknown";
    return found->second.open ? found->second.name : found->second.name + "(closed)";
}

web::InternetHandle FakeInternet::Open(const char* agent, std::uint32_t accessType, const char* proxy,
                                       const char* proxyBypass, std::uint32_t flags) {
    web::InternetHandle handle = failAt == Step::Open ? nullptr : NewHandle("internet");
    log_.Add("Open(agent=" + QuotedOrNull(agent) + ", access=" + std::to_string(accessType) +
             ", proxy=" + QuotedOrNull(proxy) + ", bypass=" + QuotedOrNull(proxyBypass) +
             ", flags=" + Hex(flags) + ") -> " + Name(handle));
    return handle;
}

web::InternetHandle FakeInternet::Connect(web::InternetHandle internet, const char* serverName, std::uint16_t port,
                                          const char* userName, const char* password, std::uint32_t service,
                                          std::uint32_t flags, std::uintptr_t context) {
    web::InternetHandle handle = failAt == Step::Connect ? nullptr : NewHandle("connection");
    log_.Add("Connect(" + Name(internet) + ", server=" + QuotedOrNull(serverName) + ", port=" + std::to_string(port) +
             ", user=" + QuotedOrNull(userName) + ", password=" + QuotedOrNull(password) +
             ", service=" + std::to_string(service) + ", flags=" + Hex(flags) + ", context=" +
             std::to_string(context) + ") -> " + Name(handle));
    return handle;
}

web::InternetHandle FakeInternet::OpenRequest(web::InternetHandle connection, const char* verb, const char* objectName,
                                              const char* version, const char* referrer, const char** acceptTypes,
                                              std::uint32_t flags, std::uintptr_t context) {
    web::InternetHandle handle = failAt == Step::OpenRequest ? nullptr : NewHandle("request");
    log_.Add("OpenRequest(" + Name(connection) + ", verb=" + QuotedOrNull(verb) + ", object=" +
             QuotedOrNull(objectName) + ", version=" + QuotedOrNull(version) + ", referrer=" +
             QuotedOrNull(referrer) + ", accept=" + AcceptTypes(acceptTypes) + ", flags=" + RequestFlagNames(flags) +
             ", context=" + std::to_string(context) + ") -> " + Name(handle));
    return handle;
}

bool FakeInternet::SendRequest(web::InternetHandle request, const char* headers, std::uint32_t headersLength,
                               const void* optional, std::uint32_t optionalLength) {
    sent_ = failAt != Step::Send;
    const std::string headerText = headers == nullptr ? "null" : Quoted(std::string_view(headers, headersLength));
    const std::string optionalText =
        optional == nullptr ? "null"
                            : Quoted(std::string_view(static_cast<const char*>(optional), optionalLength));
    log_.Add("SendRequest(" + Name(request) + ", headers=" + headerText + ", length=" +
             std::to_string(headersLength) + ", optional=" + optionalText + ", length=" +
             std::to_string(optionalLength) + ") -> " + (sent_ ? "true" : "false"));
    return sent_;
}

bool FakeInternet::ReadFile(web::InternetHandle request, void* buffer, std::uint32_t bytesToRead,
                            std::uint32_t* bytesRead) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    const bool zeroed = std::all_of(bytes, bytes + bytesToRead, [](unsigned char b) { return b == 0; });
    std::string line = "ReadFile(" + Name(request) + ", " + std::to_string(bytesToRead) +
                       (zeroed ? "" : ", buffer not zeroed") + ") -> ";
    const bool piecesLeft = sent_ && nextPiece_ < bodyPieces.size();
    if (!piecesLeft && failAt == Step::Read) {
        log_.Add(line + "false");
        return false;
    }
    std::uint32_t count = 0;
    if (piecesLeft) {
        const std::string& piece = bodyPieces[nextPiece_];
        count = static_cast<std::uint32_t>(std::min<std::size_t>(bytesToRead, piece.size() - pieceOffset_));
        std::memcpy(bytes, piece.data() + pieceOffset_, count);
        pieceOffset_ += count;
        if (pieceOffset_ == piece.size()) {
            ++nextPiece_;
            pieceOffset_ = 0;
        }
    }
    *bytesRead = count;
    log_.Add(line + std::to_string(count));
    return true;
}

bool FakeInternet::QueryInfo(web::InternetHandle request, std::uint32_t infoLevel, void* buffer,
                             std::uint32_t* bufferLength, std::uint32_t* index) {
    std::string line = "QueryInfo(" + Name(request) + ", level=" + std::to_string(infoLevel) +
                       ", length=" + std::to_string(*bufferLength) + ", index=" + (index == nullptr ? "null" : "set") +
                       ") -> ";
    if (!sent_ || failAt == Step::Query) {
        log_.Add(line + "false");
        return false;
    }
    const auto needed = static_cast<std::uint32_t>(rawHeaders.size() + 1);
    if (needed > *bufferLength) {
        *bufferLength = needed;
        log_.Add(line + "false, needs " + std::to_string(needed));
        return false;
    }
    std::memcpy(buffer, rawHeaders.c_str(), needed);
    *bufferLength = needed - 1;
    log_.Add(line + "true");
    return true;
}

bool FakeInternet::CloseHandle(web::InternetHandle handle) {
    log_.Add("CloseHandle(" + Name(handle) + ")");
    const auto found = handles_.find(handle);
    if (found == handles_.end() || !found->second.open) return false;
    found->second.open = false;
    return true;
}

}  // namespace veltrano::fakes
