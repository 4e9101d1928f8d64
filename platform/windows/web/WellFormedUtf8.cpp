#include "web/WellFormedUtf8.h"

namespace veltrano::windows {
namespace {

bool AllContinuations(unsigned second, unsigned third = 0x80, unsigned fourth = 0x80) {
    return ((second ^ 0x80U) | (third ^ 0x80U) | (fourth ^ 0x80U)) < 0x40U;
}

}  // namespace

// Most frequent first: ASCII markup, then three-byte characters (all of Chinese).
std::optional<std::size_t> DecodeWellFormedUtf8(const unsigned char* bytes, std::size_t size, wchar_t* units) {
    const unsigned char* const end = bytes + size;
    wchar_t* unit = units;
    while (bytes != end) {
        const unsigned lead = *bytes;
        const auto left = end - bytes;
        if (lead < 0x80U) {
            *unit++ = static_cast<wchar_t>(lead);
            bytes += 1;
        } else if ((lead & 0xF0U) == 0xE0U && left >= 3) {
            const unsigned code = (lead & 0x0FU) << 12 | (bytes[1] & 0x3FU) << 6 | (bytes[2] & 0x3FU);
            if (!AllContinuations(bytes[1], bytes[2]) || code < 0x800U || (code >= 0xD800U && code <= 0xDFFFU)) {
                return std::nullopt;
            }
            *unit++ = static_cast<wchar_t>(code);
            bytes += 3;
        } else if ((lead & 0xE0U) == 0xC0U && left >= 2) {
            if (!AllContinuations(bytes[1]) || lead < 0xC2U) return std::nullopt;
            *unit++ = static_cast<wchar_t>((lead & 0x1FU) << 6 | (bytes[1] & 0x3FU));
            bytes += 2;
        } else if ((lead & 0xF8U) == 0xF0U && left >= 4) {
            const unsigned code = (lead & 0x07U) << 18 | (bytes[1] & 0x3FU) << 12 | (bytes[2] & 0x3FU) << 6 |
                                  (bytes[3] & 0x3FU);
            if (!AllContinuations(bytes[1], bytes[2], bytes[3]) || code < 0x10000U || code > 0x10FFFFU) {
                return std::nullopt;
            }
            *unit++ = static_cast<wchar_t>(0xD800U | (code - 0x10000U) >> 10);
            *unit++ = static_cast<wchar_t>(0xDC00U | (code & 0x3FFU));
            bytes += 4;
        } else {
            return std::nullopt;
        }
    }
    return static_cast<std::size_t>(unit - units);
}

}  // namespace veltrano::windows
