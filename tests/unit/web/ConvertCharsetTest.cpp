#include "web/ConvertCharset.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes/FakeAutomation.h"

namespace veltrano::web {
namespace {

using fakes::CallLog;
using fakes::FakeAutomation;
using fakes::Lines;

TEST(ConvertCharset, RunsTheStreamSequenceInOrderEvenAfterAFailure) {
    struct Case {
        const char* name;
        Text from, to;  // the caller's variables
        std::optional<std::int32_t> offset;
        bool failCreate;
        std::string failMember;
        std::vector<std::string> transcript;
        Text result;
    };
    const std::vector<Case> cases = {
        {"defaults, no offset", "", "", std::nullopt, false, "",
         {"CoInitialize", "CreateObject(\"Adodb.Stream\") -> stream", "stream.Type = 1", "stream.Open()",
          "stream.Write(\"hello\")", "stream.Position = 0", "stream.Type = 2", "stream.Charset = \"UTF-8\"",
          "stream.ReadText() -> \"hello\"", "stream.Close()", "stream.Open()", "stream.Charset = \"GBK\"",
          "stream.WriteText(\"hello\")", "stream.Position = 0", "stream.Type = 1", "stream.Read() -> \"hello\"",
          "stream released", "CoUninitialize"},
         "hello"},
        {"given charsets, offset 2", "ISO-8859-1", "UTF-16", 2, false, "",
         {"CoInitialize", "CreateObject(\"Adodb.Stream\") -> stream", "stream.Type = 1", "stream.Open()",
          "stream.Write(\"hello\")", "stream.Position = 0", "stream.Type = 2", "stream.Charset = \"ISO-8859-1\"",
          "stream.ReadText() -> \"hello\"", "stream.Close()", "stream.Open()", "stream.Charset = \"UTF-16\"",
          "stream.WriteText(\"hello\")", "stream.Position = 0", "stream.Type = 1", "stream.Position = 2",
          "stream.Read() -> \"llo\"", "stream released", "CoUninitialize"},
         "llo"},
        {"offset 0 is set too", "", "", 0, false, "",
         {"CoInitialize", "CreateObject(\"Adodb.Stream\") -> stream", "stream.Type = 1", "stream.Open()",
          "stream.Write(\"hello\")", "stream.Position = 0", "stream.Type = 2", "stream.Charset = \"UTF-8\"",
          "stream.ReadText() -> \"hello\"", "stream.Close()", "stream.Open()", "stream.Charset = \"GBK\"",
          "stream.WriteText(\"hello\")", "stream.Position = 0", "stream.Type = 1", "stream.Position = 0",
          "stream.Read() -> \"hello\"", "stream released", "CoUninitialize"},
         "hello"},
        {"no stream object: nothing but COM", "", "", 3, true, "",
         {"CoInitialize", "CreateObject(\"Adodb.Stream\") -> null", "CoUninitialize"},
         ""},
        {"read text fails: the empty text is written", "", "", std::nullopt, false, "ReadText",
         {"CoInitialize", "CreateObject(\"Adodb.Stream\") -> stream", "stream.Type = 1", "stream.Open()",
          "stream.Write(\"hello\")", "stream.Position = 0", "stream.Type = 2", "stream.Charset = \"UTF-8\"",
          "stream.ReadText() -> failed", "stream.Close()", "stream.Open()", "stream.Charset = \"GBK\"",
          "stream.WriteText(\"\")", "stream.Position = 0", "stream.Type = 1", "stream.Read() -> \"\"",
          "stream released", "CoUninitialize"},
         ""},
        {"open fails: every later step still runs", "", "", std::nullopt, false, "Open",
         {"CoInitialize", "CreateObject(\"Adodb.Stream\") -> stream", "stream.Type = 1", "stream.Open() -> failed",
          "stream.Write(\"hello\") -> failed", "stream.Position = 0 -> failed", "stream.Type = 2",
          "stream.Charset = \"UTF-8\"", "stream.ReadText() -> failed", "stream.Close() -> failed",
          "stream.Open() -> failed", "stream.Charset = \"GBK\"", "stream.WriteText(\"\") -> failed",
          "stream.Position = 0 -> failed", "stream.Type = 1", "stream.Read() -> failed", "stream released",
          "CoUninitialize"},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CallLog log;
        FakeAutomation automation{log};
        automation.failCreate = c.failCreate;
        automation.failMember = c.failMember;
        const Bytes data = TextToBytes("hello");
        Text from = c.from;
        Text to = c.to;

        const Bytes result = ConvertCharset(automation, data, &from, &to, c.offset);

        EXPECT_EQ(log.Text(), Lines(c.transcript));
        EXPECT_EQ(BytesToText(result), c.result);
        EXPECT_EQ(from, c.from.empty() ? "UTF-8" : c.from);
        EXPECT_EQ(to, c.to.empty() ? "GBK" : c.to);
    }
}

TEST(ConvertCharset, OmittedCharsetsAndEmptyDataNeedNoVariables) {
    CallLog log;
    FakeAutomation automation{log};
    EXPECT_EQ(ConvertCharset(automation, TextToBytes("ab")), TextToBytes("ab"));
    EXPECT_EQ(ConvertCharset(automation, Bytes{}), Bytes{});
    EXPECT_NE(log.Text().find("stream.Write(\"\")\n"), std::string::npos);
}

}  // namespace
}  // namespace veltrano::web
