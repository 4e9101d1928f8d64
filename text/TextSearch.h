// The one substring search under the text operations: a match must begin on a
// character boundary counted from the start of the searched region, and may be
// case-folded (A-Z only). Linear in the text whatever the input: a vector
// prefilter on the needle's first and last bytes, with a KMP fallback once
// verifying candidates costs more than scanning.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace veltrano::detail {

[[nodiscard]] constexpr bool IsLeadByte(unsigned char byte) { return byte >= 0x80; }
[[nodiscard]] constexpr unsigned char FoldCase(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + 0x20) : byte;
}

enum class Stepping { ByCharacter, ByByte };

class BoundarySearch {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // sub must not be empty and must outlive the search.
    BoundarySearch(std::string_view sub, bool ignoreCase, Stepping stepping = Stepping::ByCharacter);

    // First offset p >= origin where sub matches wholly inside text and p is a
    // character boundary counted from origin (any offset when stepping by byte).
    [[nodiscard]] std::size_t FindFirst(std::string_view text, std::size_t origin);

private:
    [[nodiscard]] bool Matches(const unsigned char* at) const;
    [[nodiscard]] std::size_t FindWithKmp(std::string_view text, std::size_t from, class BoundaryTracker& tracker);

    std::string_view sub_;
    std::vector<unsigned char> foldedSub_;  // sub as compared: folded when ignoring case
    bool ignoreCase_;
    Stepping stepping_;
    unsigned char firstLow_, firstHigh_, lastLow_, lastHigh_;  // both cases of the end bytes
    std::vector<std::size_t> kmpFailure_;                     // built on first use
    std::uint64_t scanned_ = 0;
    std::uint64_t verified_ = 0;
    bool useKmp_ = false;
};

// Whether offset p is a character boundary counted from origin, for offsets
// asked in increasing order; amortised constant time per question.
class BoundaryTracker {
public:
    BoundaryTracker(std::string_view text, std::size_t origin) : text_(text), lastKnown_(origin) {}
    [[nodiscard]] bool IsBoundary(std::size_t p);

private:
    std::string_view text_;
    std::size_t lastKnown_;  // a known boundary, never past the last offset asked
};

}  // namespace veltrano::detail
