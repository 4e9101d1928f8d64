// Code page 936 as Windows has it (GBK, with 0x80 the euro sign): the system
// ANSI code page that texts pass through at the automation boundary.
// Encoding contract: a byte 0x81-0xFE opens a double-byte character with the
// byte after it; other bytes are characters by themselves. A character the code
// page cannot hold, an undefined pair, a lone lead byte and every invalid input
// sequence come out as "?".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/Text.h"

namespace veltrano::platform::linux_web {

class CodePage936 {
public:
    // Built once, on first use, from the system's iconv tables.
    static const CodePage936& Instance();

    // The code (one byte below 0x100, else lead << 8 | trail), 0 when the code page cannot hold it.
    [[nodiscard]] std::uint16_t Encode(std::uint32_t codePoint) const {
        return codePoint < encode_.size() ? encode_[codePoint] : 0;
    }
    // The character of a double-byte code, 0 when the pair is undefined.
    [[nodiscard]] std::uint16_t Decode(std::uint8_t lead, std::uint8_t trail) const {
        return decode_[static_cast<std::size_t>(lead) << 8 | trail];
    }
    // True when the pair decodes to a character that encodes back to the same pair.
    [[nodiscard]] bool RoundTrips(std::uint8_t lead, std::uint8_t trail) const {
        const std::size_t pair = static_cast<std::size_t>(lead) << 8 | trail;
        return (roundTrips_[pair >> 6] >> (pair & 63) & 1u) != 0;
    }
    // False when the system had no table for the code page.
    [[nodiscard]] bool available() const { return available_; }

private:
    CodePage936();
    std::vector<std::uint16_t> encode_;
    std::vector<std::uint16_t> decode_;
    std::vector<std::uint64_t> roundTrips_;
    bool available_ = false;
};

// UTF-8 taken into the code page; a leading byte-order mark is skipped and the
// text ends before the first NUL. Each invalid sequence is one U+FFFD, so "?".
void AppendUtf8AsCodePage936(BytesView utf8, Text& out);

// Code page text as UTF-8, up to the first NUL; undefined pairs become "?".
void AppendCodePage936AsUtf8(TextView text, std::string& out);

// Code page text taken to UTF-16 and back, as a text written into a stream
// whose charset is the code page itself: undefined pairs become "?".
void AppendCodePage936RoundTrip(TextView text, Bytes& out);

}  // namespace veltrano::platform::linux_web
