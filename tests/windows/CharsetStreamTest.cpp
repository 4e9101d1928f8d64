// The charset stream on Win32's conversions, run under Wine with the ANSI code page 936.
#include <windows.h>

#include <gtest/gtest.h>

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
