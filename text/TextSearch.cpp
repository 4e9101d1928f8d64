#include "text/TextSearch.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace veltrano::detail {

namespace {

unsigned char OtherCase(unsigned char folded, bool ignoreCase) {
    if (ignoreCase && folded >= 'a' && folded <= 'z') return static_cast<unsigned char>(folded - 0x20);
    return folded;
}

const unsigned char* Bytes(std::string_view text) { return reinterpret_cast<const unsigned char*>(text.data()); }

}  // namespace

bool BoundaryTracker::IsBoundary(std::size_t p) {
    // A byte below 0x80 at j is either a whole character or the partner of the
    // lead before it, so j + 1 is a boundary; past it only lead bytes follow,
    // and they pair up. Never look back past the last boundary found.
    const unsigned char* bytes = Bytes(text_);
    std::size_t runStart = p;
    while (runStart > lastKnown_ && IsLeadByte(bytes[runStart - 1])) --runStart;
    const bool boundary = (p - runStart) % 2 == 0;
    lastKnown_ = boundary ? p : p - 1;
    return boundary;
}

BoundarySearch::BoundarySearch(std::string_view sub, bool ignoreCase, Stepping stepping)
    : sub_(sub), ignoreCase_(ignoreCase), stepping_(stepping) {
    foldedSub_.reserve(sub.size());
    for (char raw : sub) {
        const auto byte = static_cast<unsigned char>(raw);
        foldedSub_.push_back(ignoreCase ? FoldCase(byte) : byte);
    }
    firstLow_ = foldedSub_.front();
    lastLow_ = foldedSub_.back();
    firstHigh_ = OtherCase(firstLow_, ignoreCase);
    lastHigh_ = OtherCase(lastLow_, ignoreCase);
}

bool BoundarySearch::Matches(const unsigned char* at) const {
    const std::size_t m = foldedSub_.size();
    if (!ignoreCase_) return std::memcmp(at, foldedSub_.data(), m) == 0;
    for (std::size_t k = 0; k < m; ++k) {
        if (FoldCase(at[k]) != foldedSub_[k]) return false;
    }
    return true;
}

std::size_t BoundarySearch::FindFirst(std::string_view text, std::size_t origin) {
    const std::size_t n = text.size();
    const std::size_t m = foldedSub_.size();
    if (origin > n || n - origin < m) return npos;
    const unsigned char* bytes = Bytes(text);
    BoundaryTracker tracker(text, origin);
    auto accept = [&](std::size_t p) {
        return stepping_ == Stepping::ByByte || tracker.IsBoundary(p);
    };
    const std::size_t lastCandidate = n - m;
    std::size_t p = origin;

    // Candidates whose first and last bytes fit; verify them, and fall back to
    // KMP when verification keeps failing (long self-similar needles).
#if defined(__SSE2__)
    const __m128i firstLow = _mm_set1_epi8(static_cast<char>(firstLow_));
    const __m128i firstHigh = _mm_set1_epi8(static_cast<char>(firstHigh_));
    const __m128i lastLow = _mm_set1_epi8(static_cast<char>(lastLow_));
    const __m128i lastHigh = _mm_set1_epi8(static_cast<char>(lastHigh_));
    while (!useKmp_ && p <= lastCandidate && lastCandidate - p >= 15) {
        __m128i head;
        __m128i tail;
        std::memcpy(&head, bytes + p, 16);
        std::memcpy(&tail, bytes + p + m - 1, 16);
        const __m128i headHit = _mm_or_si128(_mm_cmpeq_epi8(head, firstLow), _mm_cmpeq_epi8(head, firstHigh));
        const __m128i tailHit = _mm_or_si128(_mm_cmpeq_epi8(tail, lastLow), _mm_cmpeq_epi8(tail, lastHigh));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(headHit, tailHit)));
        while (mask != 0) {
            const std::size_t candidate = p + static_cast<std::size_t>(__builtin_ctz(mask));
            mask &= mask - 1;
            verified_ += m;
            if (Matches(bytes + candidate) && accept(candidate)) return candidate;
        }
        p += 16;
        scanned_ += 16;
        if (verified_ > 4 * scanned_ + 4096) useKmp_ = true;
    }
#endif
    while (!useKmp_ && p <= lastCandidate) {
        const unsigned char head = ignoreCase_ ? FoldCase(bytes[p]) : bytes[p];
        if (head == firstLow_) {
            verified_ += m;
            if (Matches(bytes + p) && accept(p)) return p;
        }
        ++p;
        ++scanned_;
        if (verified_ > 4 * scanned_ + 4096) useKmp_ = true;
    }
    if (p > lastCandidate) return npos;
    return FindWithKmp(text, p, tracker);
}

std::size_t BoundarySearch::FindWithKmp(std::string_view text, std::size_t from, BoundaryTracker& tracker) {
    const std::size_t m = foldedSub_.size();
    if (kmpFailure_.empty()) {
        // kmpFailure_[k]: length of the longest proper border of the first k + 1 bytes.
        kmpFailure_.assign(m, 0);
        std::size_t border = 0;
        for (std::size_t k = 1; k < m; ++k) {
            while (border > 0 && foldedSub_[k] != foldedSub_[border]) border = kmpFailure_[border - 1];
            if (foldedSub_[k] == foldedSub_[border]) ++border;
            kmpFailure_[k] = border;
        }
    }
    const unsigned char* bytes = Bytes(text);
    std::size_t matched = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const unsigned char byte = ignoreCase_ ? FoldCase(bytes[i]) : bytes[i];
        while (matched > 0 && byte != foldedSub_[matched]) matched = kmpFailure_[matched - 1];
        if (byte == foldedSub_[matched]) ++matched;
        if (matched == m) {
            const std::size_t start = i + 1 - m;
            if (stepping_ == Stepping::ByByte || tracker.IsBoundary(start)) return start;
            matched = kmpFailure_[m - 1];
        }
    }
    return npos;
}

}  // namespace veltrano::detail
