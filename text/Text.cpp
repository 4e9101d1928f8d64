#include "text/Text.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "text/TextSearch.h"

namespace veltrano {

namespace {

using detail::BoundarySearch;
using detail::FoldCase;
using detail::IsLeadByte;

constexpr unsigned char kFullWidthLead = 0xA1;  // 0xA1 0xA1 is the full-width space

std::size_t Size(int n) { return static_cast<std::size_t>(n); }
int Length(std::size_t n) { return static_cast<int>(n); }
unsigned char At(TextView text, std::size_t i) { return static_cast<unsigned char>(text[i]); }

// Length of the character at i: 2 for a lead byte with a partner, else 1.
std::size_t CharacterLength(TextView text, std::size_t i) {
    return (IsLeadByte(At(text, i)) && i + 1 < text.size()) ? 2 : 1;
}

bool IsLoneLead(TextView text, std::size_t i) { return i + 1 == text.size() && IsLeadByte(At(text, i)); }

bool IsFullWidthSpace(TextView text, std::size_t i) {
    return i + 1 < text.size() && At(text, i) == kFullWidthLead && At(text, i + 1) == kFullWidthLead;
}

// Bytes of a space character at i (1 or 2), or 0.
std::size_t SpaceLength(TextView text, std::size_t i) {
    if (text[i] == ' ') return 1;
    return IsFullWidthSpace(text, i) ? 2 : 0;
}

// Whether the last byte of text[origin..] is a lone lead byte reached by
// stepping character by character from origin.
bool EndsInLoneLead(TextView text, std::size_t origin) {
    if (text.size() <= origin || !IsLeadByte(At(text, text.size() - 1))) return false;
    detail::BoundaryTracker tracker(text, origin);
    return tracker.IsBoundary(text.size() - 1);
}

}  // namespace

int TextLength(TextView text) { return Length(text.size()); }

Text TextLeft(TextView text, int n) {
    if (n <= 0) return {};
    return Text(text.substr(0, Size(n)));
}

Text TextRight(TextView text, int n) {
    if (n <= 0) return {};
    const std::size_t count = std::min(Size(n), text.size());
    return Text(text.substr(text.size() - count));
}

Text TextMid(TextView text, int start, int n) {
    if (start < 1 || start > TextLength(text) || n <= 0) return {};
    return Text(text.substr(Size(start - 1), Size(n)));
}

int TextFind(TextView text, TextView sub, int start, bool ignoreCase) {
    const std::size_t origin = start <= 1 ? 0 : Size(start - 1);
    if (origin >= text.size()) return -1;
    if (sub.empty()) return 1;
    BoundarySearch search(sub, ignoreCase);
    const std::size_t found = search.FindFirst(text, origin);
    return found == BoundarySearch::npos ? -1 : Length(found + 1);
}

int TextFindLast(TextView text, TextView sub, bool ignoreCase) {
    if (text.empty()) return -1;
    if (sub.empty()) return 1;
    BoundarySearch search(sub, ignoreCase);
    std::size_t last = BoundarySearch::npos;
    std::size_t from = 0;
    // Each match is a boundary, so resuming one character after it keeps the count.
    while (from < text.size()) {
        const std::size_t found = search.FindFirst(text, from);
        if (found == BoundarySearch::npos) break;
        last = found;
        if (IsLoneLead(text, found)) break;
        from = found + CharacterLength(text, found);
    }
    return last == BoundarySearch::npos ? -1 : Length(last + 1);
}

Text TextToLower(TextView text) {
    Text result(text);
    for (std::size_t i = 0; i < result.size();) {
        const auto byte = static_cast<unsigned char>(result[i]);
        if (IsLeadByte(byte)) {
            i += 2;  // the partner is never folded; a lone lead byte stays
        } else {
            result[i] = static_cast<char>(FoldCase(byte));
            ++i;
        }
    }
    return result;
}

Text TextTrim(TextView text) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t space = SpaceLength(text, begin);
        if (space == 0) break;
        begin += space;
    }
    if (begin == text.size()) return {};
    // A lone lead byte at the end is dropped, and the spaces before it stay.
    if (EndsInLoneLead(text, begin)) return Text(text.substr(begin, text.size() - 1 - begin));
    // Otherwise only the tail made of 0x20 and 0xA1 bytes can hold the last run
    // of spaces; walk it by characters from the first boundary inside it.
    std::size_t tail = text.size();
    while (tail > begin && (text[tail - 1] == ' ' || At(text, tail - 1) == kFullWidthLead)) --tail;
    detail::BoundaryTracker tracker(text, begin);
    std::size_t i = tracker.IsBoundary(tail) ? tail : tail + 1;
    std::size_t end = text.size();
    while (i < text.size()) {
        if (const std::size_t space = SpaceLength(text, i); space != 0) {
            if (end == text.size()) end = i;
            i += space;
        } else {
            end = text.size();
            i += CharacterLength(text, i);
        }
    }
    return Text(text.substr(begin, end - begin));
}

Text TextRemoveSpaces(TextView text) {
    Text result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (IsLoneLead(text, i)) break;
        if (const std::size_t space = SpaceLength(text, i); space != 0) {
            i += space;
            continue;
        }
        const std::size_t length = CharacterLength(text, i);
        result.append(text.substr(i, length));
        i += length;
    }
    return result;
}

Text TextReplace(TextView text, TextView sub, TextView replacement, bool caseSensitive) {
    if (text.empty() || sub.empty()) return Text(text);
    BoundarySearch search(sub, !caseSensitive);
    Text result;
    result.reserve(text.size());
    std::size_t from = 0;
    // After a replacement the scan restarts right behind it, so character
    // boundaries are counted afresh from there.
    for (;;) {
        const std::size_t found = search.FindFirst(text, from);
        if (found == BoundarySearch::npos) break;
        result.append(text.substr(from, found - from));
        result.append(replacement);
        from = found + sub.size();
    }
    // Only a one-byte sub lets the scan reach the last byte as a character.
    std::size_t end = text.size();
    if (sub.size() == 1 && EndsInLoneLead(text, from)) --end;
    if (from < end) result.append(text.substr(from, end - from));
    return result;
}

TextList TextSplit(TextView text, TextView separator) {
    TextList pieces;
    if (text.empty()) return pieces;
    if (separator.empty()) {
        pieces.push_back(text);
        return pieces;
    }
    pieces.reserve(0, text.size());
    BoundarySearch search(separator, false);
    std::size_t from = 0;
    for (;;) {
        const std::size_t found = search.FindFirst(text, from);
        if (found == BoundarySearch::npos) break;
        pieces.push_back(text.substr(from, found - from));
        from = found + separator.size();
    }
    if (from < text.size()) pieces.push_back(text.substr(from));
    return pieces;
}

std::int32_t TextToInteger(TextView text) {
    // Full-width digits, signs and spaces fold to their single-byte forms first.
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char byte = At(text, i);
        if (!IsLeadByte(byte)) {
            folded.push_back(static_cast<char>(byte));
            ++i;
            continue;
        }
        if (i + 1 == text.size()) break;  // lone lead byte: dropped
        const unsigned char partner = At(text, i + 1);
        if (byte == 0xA3 && partner >= 0xA1 && partner <= 0xFE) {
            folded.push_back(static_cast<char>(partner - 0x80));
        } else if (byte == 0xA1 && partner == 0xA1) {
            folded.push_back(' ');
        } else if (byte == 0xA1 && partner == 0xAB) {
            folded.push_back('~');
        } else if (byte == 0xA1 && (partner == 0xEE || partner == 0xEF)) {
            folded.push_back('*');
        } else {
            folded.append(text.substr(i, 2));
        }
        i += 2;
    }
    std::size_t i = 0;
    while (i < folded.size() && (folded[i] == ' ' || (folded[i] >= '\t' && folded[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) {
        negative = folded[i] == '-';
        ++i;
    }
    std::uint32_t value = 0;  // wraps modulo 2^32 by design
    for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i) {
        value = value * 10u + static_cast<std::uint32_t>(folded[i] - '0');
    }
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

int TextCompare(TextView a, TextView b) {
    const int order = a.compare(b);  // char_traits<char> compares as unsigned char
    return (order > 0) - (order < 0);
}

Text TextConcatList(std::initializer_list<TextView> parts) {
    std::size_t total = 0;
    for (TextView part : parts) total += part.size();
    Text result;
    result.reserve(total);
    for (TextView part : parts) result.append(part);
    return result;
}

Text TextBlank(int n) { return n <= 0 ? Text() : Text(Size(n), ' '); }

Bytes TextToBytes(TextView text) { return Bytes(text.begin(), text.end()); }

Text BytesToText(BytesView bytes) {
    if (bytes.empty()) return {};
    const auto* text = reinterpret_cast<const char*>(bytes.data());
    const auto* nul = static_cast<const char*>(std::memchr(text, 0, bytes.size()));
    return Text(text, nul == nullptr ? bytes.size() : static_cast<std::size_t>(nul - text));
}

int BytesLength(BytesView bytes) { return Length(bytes.size()); }

Bytes BytesLeft(BytesView bytes, int n) {
    if (n <= 0) return {};
    const std::size_t count = std::min(Size(n), bytes.size());
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

int BytesFind(BytesView bytes, BytesView sub) {
    if (sub.empty() || sub.size() > bytes.size()) return -1;
    const TextView haystack(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const TextView needle(reinterpret_cast<const char*>(sub.data()), sub.size());
    BoundarySearch search(needle, false, detail::Stepping::ByByte);
    const std::size_t found = search.FindFirst(haystack, 0);
    return found == BoundarySearch::npos ? -1 : Length(found + 1);
}

Bytes BytesBlank(int n) { return n <= 0 ? Bytes() : Bytes(Size(n), 0); }

Bytes BytesConcatList(std::initializer_list<BytesView> parts) {
    Bytes result;
    for (BytesView part : parts) result.insert(result.end(), part.begin(), part.end());
    return result;
}

TextList::TextList(std::initializer_list<TextView> members) {
    for (TextView member : members) push_back(member);
}

TextView TextList::operator[](std::size_t index) const {
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    return TextView(bytes_).substr(begin, ends_[index] - begin);
}

void TextList::push_back(TextView member) {
    bytes_.append(member);
    ends_.push_back(bytes_.size());
}

void TextList::reserve(std::size_t members, std::size_t bytes) {
    ends_.reserve(members);
    bytes_.reserve(bytes);
}

int ListSize(const TextList& list) { return Length(list.size()); }

Text ListItem(const TextList& list, int i) {
    if (i < 1 || Size(i) > list.size()) throw std::out_of_range("ListItem: no such member");
    return Text(list[Size(i - 1)]);
}

void ListAppend(TextList& list, TextView text) { list.push_back(text); }

}  // namespace veltrano
