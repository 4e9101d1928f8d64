// The stream's own decoding of well-formed UTF-8 against Win32's, under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "web/WellFormedUtf8.h"

namespace veltrano::windows {
namespace {

std::string Utf8Of(char32_t code) {
    std::string bytes;
    const auto put = [&bytes](unsigned byte) { bytes.push_back(static_cast<char>(byte)); };
    if (code < 0x80) {
        put(code);
    } else if (code < 0x800) {
        put(0xC0 | code >> 6), put(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        put(0xE0 | code >> 12), put(0x80 | (code >> 6 & 0x3F)), put(0x80 | (code & 0x3F));
    } else {
        put(0xF0 | code >> 18), put(0x80 | (code >> 12 & 0x3F)), put(0x80 | (code >> 6 & 0x3F)),
            put(0x80 | (code & 0x3F));
    }
    return bytes;
}

std::optional<std::wstring> Decode(std::string_view bytes) {
    std::wstring units(bytes.size(), L'\0');
    const auto count =
        DecodeWellFormedUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), units.data());
    if (!count) return std::nullopt;
    units.resize(*count);
    return units;
}

TEST(WellFormedUtf8Test, EveryCodePointDecodesAsWin32DecodesIt) {
    std::string bytes;
    for (char32_t code = 0; code <= 0x10FFFF; ++code) {
        if (code < 0xD800 || code > 0xDFFF) bytes += Utf8Of(code);
    }
    std::wstring expected(bytes.size(), L'\0');
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                          expected.data(), static_cast<int>(expected.size()));
    ASSERT_GT(units, 0);
    expected.resize(static_cast<std::size_t>(units));
    const auto decoded = Decode(bytes);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_TRUE(*decoded == expected) << decoded->size() << " units against " << expected.size();
}

TEST(WellFormedUtf8Test, AnythingIllFormedIsLeftToWin32) {
    struct Case {
        const char* name;
        std::string_view bytes;
    };
    const Case cases[] = {
        {"stray continuation byte", "a\x80"},
        {"two-byte overlong", "\xc0\xaf"},
        {"two-byte overlong at the top", "\xc1\xbf"},
        {"three-byte overlong", "\xe0\x9f\xbf"},
        {"surrogate written out", "\xed\xa0\x80"},
        {"low surrogate written out", "\xed\xbf\xbf"},
        {"four-byte overlong", "\xf0\x8f\xbf\xbf"},
        {"past U+10FFFF", "\xf4\x90\x80\x80"},
        {"lead byte F5", "\xf5\x80\x80\x80"},
        {"byte FF", "\xff"},
        {"three bytes cut at the end", "ab\xe4\xb8"},
        {"four bytes cut at the end", "\xf0\x9f\x98"},
        {"lead byte without continuation", "\xe4" "ab"},
        {"continuation missing inside", "\xe4\xb8" "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Decode(c.bytes).has_value());
    }
    EXPECT_EQ(Decode(""), std::wstring());
}

}  // namespace
}  // namespace veltrano::windows
