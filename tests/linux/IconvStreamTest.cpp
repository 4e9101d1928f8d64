// The charset stream on iconv: the conversion the fetcher runs through it, and
// the stream rules that conversion relies on.
#include <gtest/gtest.h>

#include <random>

#include "platform/linux/web/CodePage936.h"
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

// Plain readings of the code page rules, character by character, for the fast
// conversions to be compared with.
void PutReferenceCode(std::uint16_t code, std::string& out) {
    if (code == 0) {
        out += '?';
    } else if (code < 0x100) {
        out += static_cast<char>(code);
    } else {
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    }
}

// UTF-8 with each maximal invalid beginning of a sequence read as one U+FFFD.
std::string ReferenceUtf8ToCodePage(std::string_view utf8) {
    const auto& table = CodePage936::Instance();
    std::string out;
    std::size_t i = utf8.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (i < utf8.size()) {
        const auto b0 = static_cast<std::uint8_t>(utf8[i]);
        if (b0 == 0) break;
        std::size_t need = 0;
        std::uint8_t low = 0x80;
        std::uint8_t high = 0xBF;
        std::uint32_t code = b0;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            need = 1, code = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            need = 2, code = b0 & 0x0F;
            low = b0 == 0xE0 ? 0xA0 : 0x80;
            high = b0 == 0xED ? 0x9F : 0xBF;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            need = 3, code = b0 & 0x07;
            low = b0 == 0xF0 ? 0x90 : 0x80;
            high = b0 == 0xF4 ? 0x8F : 0xBF;
        } else if (b0 >= 0x80) {
            code = 0xFFFD;
        }
        std::size_t taken = 1;
        for (std::size_t k = 1; k <= need; ++k) {
            const auto b = i + k < utf8.size() ? static_cast<std::uint8_t>(utf8[i + k]) : 0;
            const bool fits = i + k < utf8.size() && (k == 1 ? b >= low && b <= high : (b & 0xC0) == 0x80);
            if (!fits) {
                code = 0xFFFD;
                break;
            }
            code = code << 6 | (b & 0x3F);
            taken = k + 1;
        }
        i += taken;
        PutReferenceCode(table.Encode(code), out);
    }
    return out;
}

// Code page text to its characters and back: undefined pairs, lone lead bytes and 0xFF become "?".
std::string ReferenceRoundTrip(std::string_view text) {
    const auto& table = CodePage936::Instance();
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte == 0) break;
        std::uint32_t character = 0;
        if (byte < 0x80) {
            character = byte;
        } else if (byte == 0x80) {
            character = 0x20AC;
        } else if (byte != 0xFF && i + 1 < text.size()) {
            character = table.Decode(byte, static_cast<std::uint8_t>(text[i + 1]));
            if (character != 0) ++i;
        }
        PutReferenceCode(character == 0 ? 0 : table.Encode(character), out);
    }
    return out;
}

// Random texts built of the pieces that take the different paths: long ASCII
// runs, Chinese, the euro sign, NUL, invalid and truncated sequences, stray bytes.
std::string RandomText(std::mt19937& random, const std::vector<std::string>& pieces) {
    std::string text;
    const auto count = std::uniform_int_distribution<int>(0, 40)(random);
    for (int k = 0; k < count; ++k) {
        text += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
        if (random() % 8 == 0) text += static_cast<char>(random() & 0xFF);
    }
    return text;
}

TEST(IconvStreamTest, CodePageFastPathsMatchAPlainReading) {
    ASSERT_TRUE(CodePage936::Instance().available());
    const std::vector<std::string> utf8Pieces = {
        "var videoUrl = \"http://a.example/v.mp4\";\r\n", "x", "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97",
        "\xE2\x82\xAC", "\xC2\xB7", "\xEF\xBB\xBF", "\xEE\x80\x80", "\xEF\xBF\xBD", "\xE0\xA4\x85",
        "\xE0\x80\x80", "\xED\x9F\xBF", "\xED\xA0\x80", "\xF0\x9F\x98\x80", "\xE4\xB8", "\xE4", "\xC3",
        "\xFF", "\x80", std::string(1, '\0'), "<p>\xE4\xB8\xAD</p>\r\n",
    };
    const std::vector<std::string> codePagePieces = {
        "var videoUrl = \"http://a.example/v.mp4\";\r\n", "x", "\xD6\xD0\xCE\xC4", "\x80", "\xA1\xA4",
        "\xA2\xA0", "\xFF", "\x81", "\xFE\xFE", "\xAA\xA1", "\xA1\x7F", std::string(1, '\0'),
    };
    std::mt19937 random(936);
    for (int round = 0; round < 3000; ++round) {
        const std::string utf8 = RandomText(random, utf8Pieces);
        SCOPED_TRACE(testing::PrintToString(utf8));
        Text text;
        AppendUtf8AsCodePage936({reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size()}, text);
        ASSERT_EQ(text, ReferenceUtf8ToCodePage(utf8));

        const std::string codePage = RandomText(random, codePagePieces);
        SCOPED_TRACE(testing::PrintToString(codePage));
        Bytes roundTrip;
        AppendCodePage936RoundTrip(codePage, roundTrip);
        ASSERT_EQ(S(roundTrip), ReferenceRoundTrip(codePage));
    }
}

}  // namespace
}  // namespace veltrano::platform::linux_web
