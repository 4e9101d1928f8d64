// The charset stream on Win32's conversions, run under Wine with the ANSI code page 936.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "web/ConvertCharset.h"
#include "web/Win32Automation.h"
#include "web/Win32CharsetStream.h"

namespace veltrano::windows {
namespace {

Bytes B(std::string_view text) { return Bytes(text.begin(), text.end()); }

// The stream calls of the conversion, in their order: bytes in, text out in
// one charset, text in, bytes out in the other.
Bytes Reencode(web::CharsetStream& stream, const Bytes& data, TextView from, TextView to) {
    stream.SetType(web::kStreamTypeBinary);
    stream.Open();
    stream.Write(data);
    stream.SetPosition(0);
    stream.SetType(web::kStreamTypeText);
    stream.SetCharset(from);
    const Text text = stream.ReadText();
    stream.Close();
    stream.Open();
    stream.SetCharset(to);
    stream.WriteText(text);
    stream.SetPosition(0);
    stream.SetType(web::kStreamTypeBinary);
    return stream.Read();
}

TEST(CharsetStreamTest, SystemAnsiCodePageIsGbk) {
    // Everything below relies on it; the test runner's locale sets it.
    EXPECT_EQ(GetACP(), 936u);
}

TEST(CharsetStreamTest, ReencodesThroughTheAnsiCodePage) {
    struct Case {
        const char* name;
        Bytes data;
        const char* from;
        const char* to;
        Bytes expected;
    };
    const Case cases[] = {
        {"chinese utf-8 to gbk", B("\xe4\xb8\xad\xe6\x96\x87 abc"), "UTF-8", "GBK", B("\xd6\xd0\xce\xc4 abc")},
        {"charset names ignore case", B("\xe4\xb8\xad"), "utf-8", "gbk", B("\xd6\xd0")},
        {"gbk to utf-8", B("\xd6\xd0\xce\xc4"), "GBK", "UTF-8", B("\xe4\xb8\xad\xe6\x96\x87")},
        {"euro sign is 0x80 in code page 936", B("\xe2\x82\xac"), "UTF-8", "GBK", B("\x80")},
        {"empty data", Bytes{}, "UTF-8", "GBK", Bytes{}},
        {"text ends at the first NUL", B(std::string_view("ab\0cd", 5)), "UTF-8", "GBK", B("ab")},
        // Hangul has no place in code page 936 and no best fit there.
        {"character outside the code page", B("a\xed\x95\x9c" "b"), "UTF-8", "GBK", B("a?b")},
        {"invalid utf-8 byte", B("a\xff" "b"), "UTF-8", "GBK", B("a?b")},
        // GBK could hold it, but the text went through the ANSI code page first; here they agree.
        {"full-width comma", B("\xef\xbc\x8c"), "UTF-8", "GBK", B("\xa3\xac")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Win32CharsetStream stream;
        EXPECT_EQ(Reencode(stream, c.data, c.from, c.to), c.expected);
    }
}

// The whole text decoded at once, cut at its first NUL and taken through the ANSI code page.
Text WholeUtf8ToAnsi(const Bytes& data) {
    const auto* bytes = reinterpret_cast<const char*>(data.data());
    std::wstring wide(data.size(), L'\0');
    const int units = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(data.size()), wide.data(),
                                          static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(units));
    wide.resize(std::min(wide.find(L'\0'), wide.size()));
    Text text(wide.size() * 2, '\0');
    const int narrow = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                                           static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(static_cast<std::size_t>(narrow));
    return text;
}

TEST(CharsetStreamTest, LargeUtf8ReadsAsTheWholeTextWouldWherePiecesMeet) {
    // The stream decodes long UTF-8 in pieces; short fillers of varying length put
    // characters of each width, and ill-formed runs, across the places where pieces meet.
    const std::string_view sequences[] = {
        "\xc2\xa9",                  // two bytes
        "\xe4\xb8\xad",              // three bytes
        "\xf0\x9f\x98\x80",          // four bytes: a surrogate pair
        "\xe4\xb8" "a",              // cut short
        "\x80\x80\x80\x80\x80\x80",  // stray continuation bytes
        "\xf0\x9f\x98",              // cut short, four-byte lead
        "\xed\xa0\x80",              // a surrogate written out
        "\xc0\xaf",                  // overlong
    };
    struct Case {
        const char* name;
        std::size_t sequenceCount;  // the first of the sequences above
        std::size_t nulAt;          // npos: none
    };
    const Case cases[] = {
        {"well-formed only", 3, std::string::npos},
        {"ill-formed too", std::size(sequences), std::string::npos},
        {"NUL in a later piece", std::size(sequences), 200'001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes data;
        for (std::size_t filler = 0; data.size() < 600'000; ++filler) {
            data.insert(data.end(), filler % 5, 'x');
            const std::string_view sequence = sequences[filler % c.sequenceCount];
            data.insert(data.end(), sequence.begin(), sequence.end());
        }
        if (c.nulAt != std::string::npos) data[c.nulAt] = 0;
        Win32CharsetStream stream;
        stream.SetType(web::kStreamTypeBinary);
        stream.Open();
        stream.Write(data);
        stream.SetPosition(0);
        stream.SetType(web::kStreamTypeText);
        stream.SetCharset("UTF-8");
        const Text text = stream.ReadText();
        const Text whole = WholeUtf8ToAnsi(data);
        EXPECT_GT(whole.size(), c.nulAt == std::string::npos ? 400'000u : 100'000u);
        EXPECT_TRUE(text == whole) << text.size() << " bytes against " << whole.size();
    }
}

TEST(CharsetStreamTest, UnknownCharsetIsRefusedAndTheDefaultStays) {
    // The stream's own default is UTF-16; an unknown name leaves it.
    Win32CharsetStream stream;
    const Bytes out = Reencode(stream, B(std::string_view("a\0b\0", 4)), "no-such-charset", "GBK");
    EXPECT_EQ(out, B("ab"));
}

TEST(CharsetStreamTest, CallsInTheWrongModeOrStateChangeNothing) {
    Win32CharsetStream stream;
    stream.Write(B("lost"));  // not open
    stream.Open();
    EXPECT_EQ(stream.ReadText(), "");  // text mode by default, but nothing written
    stream.SetType(web::kStreamTypeBinary);
    stream.Write(B("abc"));
    stream.SetType(web::kStreamTypeText);  // refused: not at position 0
    EXPECT_EQ(stream.ReadText(), "");      // still byte mode
    stream.SetPosition(4);                 // beyond the end: refused
    stream.SetPosition(1);
    EXPECT_EQ(stream.Read(), B("bc"));
    stream.Close();
    EXPECT_EQ(stream.Read(), Bytes{});
}

TEST(CharsetStreamTest, AutomationCreatesOnlyTheStream) {
    Win32Automation automation;
    automation.CoInitialize();
    EXPECT_NE(automation.CreateObject("Adodb.Stream"), nullptr);
    EXPECT_NE(automation.CreateObject("ADODB.STREAM"), nullptr);
    EXPECT_EQ(automation.CreateObject("Scripting.FileSystemObject"), nullptr);
    automation.CoUninitialize();
}

TEST(CharsetStreamTest, ConvertCharsetRunsOnTheWin32Stream) {
    Win32Automation automation;
    const Bytes page = B("<p>\xe8\xa7\x86\xe9\xa2\x91</p>");  // 视频
    Text from, to;
    EXPECT_EQ(web::ConvertCharset(automation, page, &from, &to), B("<p>\xca\xd3\xc6\xb5</p>"));
    EXPECT_EQ(from, "UTF-8");
    EXPECT_EQ(to, "GBK");
    EXPECT_EQ(web::ConvertCharset(automation, page, nullptr, nullptr, 3), B("\xca\xd3\xc6\xb5</p>"));
    // A thread that had COM before keeps it: the calls balance.
    automation.CoInitialize();
    EXPECT_EQ(web::ConvertCharset(automation, page), B("<p>\xca\xd3\xc6\xb5</p>"));
    automation.CoUninitialize();
}

}  // namespace
}  // namespace veltrano::windows
