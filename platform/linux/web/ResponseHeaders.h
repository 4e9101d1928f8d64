// The raw header block of one response, rebuilt from the lines as they arrive
// the way the Windows internet service presents it: the status line, then
// "Name: value" lines in the order received, each ended by CRLF, then one more
// CRLF. Interim (1xx) responses are dropped when the next status line comes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrano::platform::linux_web {

class ResponseHeaders {
public:
    // One header line as received, its line end included or not. Returns false
    // when the block would grow beyond maxBytes; the line is then dropped.
    bool AddLine(std::string_view line);

    // True once the blank line after a final (non-1xx) status line arrived.
    [[nodiscard]] bool complete() const { return complete_; }
    [[nodiscard]] int status() const { return status_; }
    [[nodiscard]] const std::string& block() const { return block_; }

    static constexpr std::size_t kMaxBytes = 1024 * 1024;

private:
    std::string block_;
    int status_ = 0;
    bool complete_ = false;
};

}  // namespace veltrano::platform::linux_web
