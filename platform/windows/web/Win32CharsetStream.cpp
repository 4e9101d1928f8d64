#include "web/Win32CharsetStream.h"

#include <windows.h>

#include "web/WellFormedUtf8.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <string_view>

namespace veltrano::windows {
namespace {

constexpr unsigned kCodePageGbk = 936;
constexpr unsigned kCodePageUnicode = 1200;  // UTF-16LE, the stream's own default

bool EqualsIgnoringCase(TextView a, TextView b) { return TextCompare(TextToLower(a), TextToLower(b)) == 0; }

// Both conversions work on int lengths; larger inputs are refused, not cut.
bool FitsInt(std::size_t size) { return size <= static_cast<std::size_t>(INT_MAX); }

// A conversion's output buffer, left uninitialised: zero-filling tens of
// megabytes the conversion overwrites anyway costs as much as converting.
template <class Unit>
struct Converted {
    std::unique_ptr<Unit[]> units;
    std::size_t size = 0;
    [[nodiscard]] std::basic_string_view<Unit> view() const { return {units.get(), size}; }
};

Converted<wchar_t> Decode(unsigned codePage, const char* bytes, std::size_t size) {
    if (size == 0 || !FitsInt(size)) return {};
    Converted<wchar_t> text;
    if (codePage == kCodePageUnicode) {
        text.size = size / 2;
        text.units.reset(new wchar_t[text.size]);
        std::copy_n(bytes, text.size * 2, reinterpret_cast<char*>(text.units.get()));
        return text;
    }
    // Room for the longest outcome: never more UTF-16 units than bytes.
    text.units.reset(new wchar_t[size]);
    const int wide =
        MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(size), text.units.get(), static_cast<int>(size));
    text.size = static_cast<std::size_t>(std::max(wide, 0));
    return text;
}

std::string Encode(unsigned codePage, std::wstring_view text) {
    if (text.empty()) return {};
    if (codePage == kCodePageUnicode) {
        return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    }
    // A UTF-16 unit takes at most three bytes in UTF-8 and two in a double-byte code page.
    const std::size_t room = text.size() * (codePage == CP_UTF8 ? 3 : 2);
    if (!FitsInt(room)) return {};
    // Written in place: a fresh block costs its page faults once, not twice.
    std::string bytes(room, '\0');
    // No flags and no default character of our own: best fit, then the code page's default.
    const int narrow = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                           static_cast<int>(room), nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(std::max(narrow, 0)));
    return bytes;
}

// UTF-8 is decoded in pieces of about this many bytes, so its UTF-16 text never
// needs a block of its own and is encoded again while still in the cache.
constexpr std::size_t kUtf8Piece = 64 * 1024;

bool IsUtf8Continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Where a piece ending near `limit` may end: before a byte that starts a character,
// so no character is cut. A decoder starts afresh at such a byte anyway; a run of
// more continuation bytes than a character holds is stray bytes and may be cut.
std::size_t Utf8PieceEnd(const char* bytes, std::size_t begin, std::size_t limit, std::size_t size) {
    if (limit >= size) return size;
    for (std::size_t end = limit; end > limit - 4 && end > begin; --end) {
        if (!IsUtf8Continuation(bytes[end])) return end;
    }
    return limit;
}

// UTF-8 taken through the ANSI code page as Decode and Encode would take it, ending
// at the first NUL character, piece by piece into one text.
std::string Utf8ToAnsi(const char* bytes, std::size_t size) {
    if (size == 0 || !FitsInt(size)) return {};
    // An ANSI text is no longer than its UTF-8 in all but odd cases (the room grows for those).
    std::string text;
    text.reserve(size + 2 * kUtf8Piece);
    const auto wide = std::make_unique<wchar_t[]>(kUtf8Piece);
    std::size_t units = 0;
    for (std::size_t begin = 0; begin < size;) {
        const std::size_t end = Utf8PieceEnd(bytes, begin, begin + kUtf8Piece, size);
        const std::optional<std::size_t> wellFormed =
            DecodeWellFormedUtf8(reinterpret_cast<const unsigned char*>(bytes + begin), end - begin, wide.get());
        const int decoded = wellFormed ? static_cast<int>(*wellFormed)
                                       : MultiByteToWideChar(CP_UTF8, 0, bytes + begin, static_cast<int>(end - begin),
                                                             wide.get(), static_cast<int>(kUtf8Piece));
        if (decoded <= 0) return {};
        const std::wstring_view piece(wide.get(), static_cast<std::size_t>(decoded));
        const std::wstring_view untilNul = piece.substr(0, std::min(piece.find(L'\0'), piece.size()));
        units += untilNul.size();
        // Encode refuses a text whose room does not fit an int; so does this.
        if (!FitsInt(units * 2)) return {};
        if (!untilNul.empty()) {
            const std::size_t written = text.size();
            const std::size_t room = untilNul.size() * 2;
            if (text.capacity() - written < room) text.reserve(std::max(2 * text.capacity(), written + room));
            text.resize(written + room);
            const int narrow = WideCharToMultiByte(CP_ACP, 0, untilNul.data(), static_cast<int>(untilNul.size()),
                                                   text.data() + written, static_cast<int>(room), nullptr, nullptr);
            if (narrow <= 0) return {};
            text.resize(written + static_cast<std::size_t>(narrow));
        }
        if (untilNul.size() < piece.size()) break;
        begin = end;
    }
    return text;
}

}  // namespace

std::optional<unsigned> CodePageOfCharset(TextView charset) {
    if (EqualsIgnoringCase(charset, "GBK")) return kCodePageGbk;
    if (EqualsIgnoringCase(charset, "UTF-8")) return CP_UTF8;
    if (EqualsIgnoringCase(charset, "Unicode")) return kCodePageUnicode;
    return std::nullopt;
}

void Win32CharsetStream::SetType(std::int32_t type) {
    if (position_ != 0) return;
    if (type == web::kStreamTypeBinary || type == web::kStreamTypeText) type_ = type;
}

void Win32CharsetStream::SetPosition(std::int32_t position) {
    if (!open_ || position < 0 || static_cast<std::size_t>(position) > contents_.size()) return;
    position_ = static_cast<std::size_t>(position);
}

void Win32CharsetStream::SetCharset(TextView charset) {
    if (position_ != 0) return;
    if (const auto codePage = CodePageOfCharset(charset)) codePage_ = *codePage;
}

void Win32CharsetStream::Open() {
    if (open_) return;
    open_ = true;
    contents_.clear();
    position_ = 0;
}

void Win32CharsetStream::Close() {
    open_ = false;
    // lastReadText_ stays: a text read before Close may be written after the next Open.
    contents_.clear();
    position_ = 0;
}

void Win32CharsetStream::Store(BytesView data) {
    // Writes overwrite from the position and may extend the stream.
    const std::size_t overwritten = std::min(data.size(), contents_.size() - position_);
    std::copy_n(data.begin(), overwritten, contents_.begin() + static_cast<std::ptrdiff_t>(position_));
    contents_.insert(contents_.end(), data.begin() + static_cast<std::ptrdiff_t>(overwritten), data.end());
    position_ += data.size();
}

void Win32CharsetStream::Write(BytesView data) {
    if (!open_ || type_ != web::kStreamTypeBinary) return;
    Store(data);
}

Text Win32CharsetStream::ReadText() {
    if (!open_ || type_ != web::kStreamTypeText) return {};
    const unsigned codePage = codePage_ != 0 ? codePage_ : kCodePageUnicode;
    const char* const bytes = reinterpret_cast<const char*>(contents_.data() + position_);
    const std::size_t size = contents_.size() - position_;
    position_ = contents_.size();
    // The text crosses into a Text through the ANSI code page and ends at its first NUL.
    if (codePage == CP_UTF8) {
        lastReadText_ = Utf8ToAnsi(bytes, size);
    } else {
        const auto decoded = Decode(codePage, bytes, size);
        const std::wstring_view all = decoded.view();
        lastReadText_ = Encode(CP_ACP, all.substr(0, std::min(all.find(L'\0'), all.size())));
    }
    return lastReadText_;
}

void Win32CharsetStream::WriteText(TextView text) {
    if (!open_ || type_ != web::kStreamTypeText) return;
    const unsigned codePage = codePage_ != 0 ? codePage_ : kCodePageUnicode;
    // Text this stream itself produced in the ANSI code page goes back into that
    // code page unchanged: what WideCharToMultiByte wrote, the round trip keeps.
    if (codePage == GetACP() && text == lastReadText_) {
        Store(BytesView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        return;
    }
    const auto wide = Decode(CP_ACP, text.data(), text.size());
    const std::string encoded = Encode(codePage, wide.view());
    Store(BytesView(reinterpret_cast<const std::uint8_t*>(encoded.data()), encoded.size()));
}

Bytes Win32CharsetStream::Read() {
    if (!open_ || type_ != web::kStreamTypeBinary) return {};
    Bytes rest(contents_.begin() + static_cast<std::ptrdiff_t>(position_), contents_.end());
    position_ = contents_.size();
    return rest;
}

}  // namespace veltrano::windows
