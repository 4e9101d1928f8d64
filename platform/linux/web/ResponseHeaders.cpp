#include "platform/linux/web/ResponseHeaders.h"

namespace veltrano::platform::linux_web {
namespace {

constexpr std::string_view kWhitespace = " \t";

std::string_view TrimLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kWhitespace);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kWhitespace);
    return text.substr(first, last - first + 1);
}

// "HTTP/1.1 200 OK" -> 200; 0 when the line is no status line.
int StatusOf(std::string_view line) {
    const auto space = line.find(' ');
    if (space == std::string_view::npos || space + 4 > line.size()) return 0;
    int code = 0;
    for (std::size_t i = space + 1; i < space + 4; ++i) {
        const char c = line[i];
        if (c < '0' || c > '9') return 0;
        code = code * 10 + (c - '0');
    }
    return code;
}

}  // namespace

bool ResponseHeaders::AddLine(std::string_view rawLine) {
    if (complete_) return true;  // trailers after the body are not part of the block
    const std::string_view line = TrimLineEnd(rawLine);
    if (line.starts_with("HTTP/")) {
        block_.clear();
        status_ = StatusOf(line);
        block_.append(line).append("\r\n");
        return block_.size() <= kMaxBytes;
    }
    if (line.empty()) {
        if (status_ >= 200) {
            block_.append("\r\n");
            complete_ = true;
        }
        return true;
    }
    std::string piece;
    if (line.front() == ' ' || line.front() == '\t') {
        // An obsolete folded line continues the value of the line before it.
        if (block_.size() >= 2) block_.resize(block_.size() - 2);
        piece.append(" ").append(Trim(line));
    } else if (const auto colon = line.find(':'); colon != std::string_view::npos) {
        piece.append(Trim(line.substr(0, colon))).append(": ").append(Trim(line.substr(colon + 1)));
    } else {
        piece.append(Trim(line));
    }
    if (block_.size() + piece.size() + 4 > kMaxBytes) return false;
    block_.append(piece).append("\r\n");
    return true;
}

}  // namespace veltrano::platform::linux_web
