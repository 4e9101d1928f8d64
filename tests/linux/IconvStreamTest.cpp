// The charset stream on iconv: the conversion the fetcher runs through it, and
// the stream rules that conversion relies on.
#include <gtest/gtest.h>

#include "platform/linux/web/IconvStream.h"
#include "web/ConvertCharset.h"

namespace veltrano::platform::linux_web {
namespace {

using namespace std::string_literals;

Bytes B(std::string_view text) { return Bytes(text.begin(), text.end()); }
std::string S(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(IconvStreamTest, ConvertCharsetTakesUtf8ThroughCodePage936) {
    struct Case {
        const char* name;
        std::string utf8;
        std::string gbk;
    };
    const std::vector<Case> cases = {
        {"empty", "", ""},
        {"ASCII passes", "var videoUrl = \"http://a/b.mp4\";\r\n", "var videoUrl = \"http://a/b.mp4\";\r\n"},
        {"Chinese", "\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},
        {"euro sign is 0x80 as Windows has it", "\xE2\x82\xAC", "\x80"},
        {"middle dot and em dash as code page 936 maps them", "\xC2\xB7\xE2\x80\x94", "\xA1\xA4\xA1\xAA"},
        {"a character the code page cannot hold", "a\xE0\xB8\x81z", "a?z"},
        {"outside the basic plane", "a\xF0\x9F\x98\x80z", "a?z"},
        {"text ends at the first NUL", "ab\0cd"s, "ab"},
        {"invalid bytes become one ? each", "a\xFF\xC3z\xE4\xB8", "a??z?"},
        {"surrogate encoded in UTF-8 is invalid", "\xED\xA0\x80", "???"},
        {"overlong form is invalid", "\xC0\xAF", "??"},
        {"leading byte-order mark is dropped", "\xEF\xBB\xBFok", "ok"},
    };
    IconvAutomation automation;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes data = B(c.utf8);
        EXPECT_EQ(S(web::ConvertCharset(automation, data)), c.gbk);
        EXPECT_EQ(data, B(c.utf8));
    }
}

TEST(IconvStreamTest, OffsetsAndOtherCharsets) {
    IconvAutomation automation;
    const Bytes data = B("\xE4\xB8\xAD\xE6\x96\x87");
    EXPECT_EQ(S(web::ConvertCharset(automation, data, nullptr, nullptr, 0)), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(S(web::ConvertCharset(automation, data, nullptr, nullptr, 2)), "\xCE\xC4");
    Text from = "gbk";
    Text to = "utf-8";
    EXPECT_EQ(S(web::ConvertCharset(automation, B("\xD6\xD0\x80?"), &from, &to)), "\xE4\xB8\xAD\xE2\x82\xAC?");
    from = "UTF-8";
    to = "Unicode";
    EXPECT_EQ(web::ConvertCharset(automation, B("a\xE4\xB8\xAD"), &from, &to), (Bytes{'a', 0, 0x2D, 0x4E}));
    from = "UTF-8";
    to = "ISO-8859-1";  // a character the target cannot hold becomes "?"
    EXPECT_EQ(S(web::ConvertCharset(automation, B("\xC3\xA9\xE4\xB8\xAD"), &from, &to)), "\xE9?");
    from = "no-such-charset";
    // Refused: the stream keeps reading "Unicode", so "ab" is U+6261 and the odd "c" is invalid.
    EXPECT_EQ(S(web::ConvertCharset(automation, B("abc"), &from)), "\x92L?");
}

TEST(IconvStreamTest, StreamRefusesWhatTheWindowsStreamRefuses) {
    IconvAutomation automation;
    EXPECT_EQ(automation.CreateObject("No.Such.Object"), nullptr);
    auto stream = automation.CreateObject("ADODB.Stream");
    ASSERT_NE(stream, nullptr);

    stream->Write(B("closed"));  // not open: nothing
    stream->SetType(web::kStreamTypeBinary);
    stream->Open();
    stream->Write(B("abcdef"));
    EXPECT_EQ(stream->ReadText(), "");  // binary: no text
    stream->SetType(web::kStreamTypeText);  // only at position 0: refused
    stream->SetPosition(2);
    EXPECT_EQ(S(stream->Read()), "cdef");
    stream->SetPosition(1);
    stream->Write(B("XY"));  // overwrites in place
    stream->SetPosition(0);
    EXPECT_EQ(S(stream->Read()), "aXYdef");
    stream->SetPosition(99);  // beyond the end: refused
    EXPECT_EQ(S(stream->Read()), "");

    stream->SetPosition(0);
    stream->SetType(web::kStreamTypeText);
    stream->SetCharset("utf-8");
    EXPECT_EQ(stream->ReadText(), "aXYdef");
    stream->Close();
    stream->Open();  // empty again, still text
    stream->WriteText("\xD6\xD0");
    stream->SetPosition(0);
    stream->SetType(web::kStreamTypeBinary);
    EXPECT_EQ(S(stream->Read()), "\xE4\xB8\xAD");
}

}  // namespace
}  // namespace veltrano::platform::linux_web
