#include "web/Win32CharsetStream.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>

namespace veltrano::windows {
namespace {

constexpr unsigned kCodePageGbk = 936;
constexpr unsigned kCodePageUnicode = 1200;  // UTF-16LE, the stream's own default

bool EqualsIgnoringCase(TextView a, TextView b) { return TextCompare(TextToLower(a), TextToLower(b)) == 0; }

// Both conversions work on int lengths; larger inputs are refused, not cut.
bool FitsInt(std::size_t size) { return size <= static_cast<std::size_t>(INT_MAX); }

std::wstring Decode(unsigned codePage, const char* bytes, std::size_t size) {
    if (size == 0 || !FitsInt(size)) return {};
    if (codePage == kCodePageUnicode) {
        std::wstring text(size / 2, L'\0');
        std::copy_n(bytes, text.size() * 2, reinterpret_cast<char*>(text.data()));
        return text;
    }
    const int length = static_cast<int>(size);
    const int wide = MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
    if (wide <= 0) return {};
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(codePage, 0, bytes, length, text.data(), wide);
    return text;
}

std::string Encode(unsigned codePage, std::wstring_view text) {
    if (text.empty() || !FitsInt(text.size())) return {};
    if (codePage == kCodePageUnicode) {
        return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    }
    const int length = static_cast<int>(text.size());
    // No flags and no default character of our own: best fit, then the code page's default.
    const int narrow = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (narrow <= 0) return {};
    std::string bytes(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), narrow, nullptr, nullptr);
    return bytes;
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
    contents_.clear();
    position_ = 0;
}

void Win32CharsetStream::Store(BytesView data) {
    // Writes overwrite from the position and may extend the stream.
    const std::size_t end = position_ + data.size();
    if (end > contents_.size()) contents_.resize(end);
    std::copy(data.begin(), data.end(), contents_.begin() + static_cast<std::ptrdiff_t>(position_));
    position_ = end;
}

void Win32CharsetStream::Write(BytesView data) {
    if (!open_ || type_ != web::kStreamTypeBinary) return;
    Store(data);
}

Text Win32CharsetStream::ReadText() {
    if (!open_ || type_ != web::kStreamTypeText) return {};
    const unsigned codePage = codePage_ != 0 ? codePage_ : kCodePageUnicode;
    const std::wstring decoded = Decode(codePage, reinterpret_cast<const char*>(contents_.data() + position_),
                                        contents_.size() - position_);
    position_ = contents_.size();
    // The text crosses into a Text through the ANSI code page and ends at its first NUL.
    const std::wstring_view untilNul(decoded.c_str());
    return Encode(CP_ACP, untilNul);
}

void Win32CharsetStream::WriteText(TextView text) {
    if (!open_ || type_ != web::kStreamTypeText) return;
    const unsigned codePage = codePage_ != 0 ? codePage_ : kCodePageUnicode;
    const std::wstring wide = Decode(CP_ACP, text.data(), text.size());
    const std::string encoded = Encode(codePage, wide);
    Store(BytesView(reinterpret_cast<const std::uint8_t*>(encoded.data()), encoded.size()));
}

Bytes Win32CharsetStream::Read() {
    if (!open_ || type_ != web::kStreamTypeBinary) return {};
    Bytes rest(contents_.begin() + static_cast<std::ptrdiff_t>(position_), contents_.end());
    position_ = contents_.size();
    return rest;
}

}  // namespace veltrano::windows
