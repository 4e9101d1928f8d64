// The two button actions on a recording desktop and the recording web fakes.
#include <gtest/gtest.h>

#include <algorithm>

#include "FakeDesktop.h"
#include "app/Actions.h"
#include "fakes/FakeAutomation.h"
#include "fakes/FakeInternet.h"

namespace veltrano::app {
namespace {

using fakes::CallLog;
using fakes::FakeAutomation;
using fakes::FakeInternet;
using fakes::Lines;
using fakes::Quoted;
using testing::FakeDesktop;

constexpr TextView kPageAddress = "http://127.0.0.1:8080/play/1234.html";
constexpr TextView kVideoAddress = "http://127.0.0.1:8080/media/clip-01.mp4";
const Text kPage = TextConcat("<html><script>\r\n        var videoUrl = \"", kVideoAddress,
                              "\";\r\n        var defaultImg = \"poster.jpg\";\r\n</script></html>");

std::string Shown(TextView message, TextView flags) {
    return "desktop.ShowMessageBox(" + Quoted(message) + ", " + std::string(flags) + ")";
}

class ActionsTest : public ::testing::Test {
protected:
    ActionsTest() {
        desktop.control(ControlId::编辑框1) = Text(kPageAddress);
        desktop.control(ControlId::编辑框2) = "stale text from the last click";
        desktop.clipboard = "what the user copied earlier";
    }

    // The desktop's share of the log, in order.
    [[nodiscard]] std::string DesktopCalls() const {
        std::vector<std::string> lines;
        std::copy_if(log.lines.begin(), log.lines.end(), std::back_inserter(lines),
                     [](const std::string& line) { return IsDesktopLine(line); });
        return Lines(lines);
    }

    // The page is fetched after 编辑框1 was read and before 编辑框2 is written.
    void ExpectFetchBetweenReadAndWrite() const {
        const auto first = std::find_if_not(log.lines.begin(), log.lines.end(), IsDesktopLine);
        const auto last = std::find_if_not(log.lines.rbegin(), log.lines.rend(), IsDesktopLine);
        ASSERT_NE(first, log.lines.end()) << "no web call at all";
        ASSERT_NE(first, log.lines.begin());
        EXPECT_EQ(first[-1].rfind("desktop.GetControlText(编辑框1)", 0), 0u) << log.Text();
        ASSERT_NE(last, log.lines.rbegin());
        EXPECT_EQ(last[-1].rfind("desktop.SetControlText(编辑框2", 0), 0u) << log.Text();
    }

    static bool IsDesktopLine(const std::string& line) { return line.rfind("desktop.", 0) == 0; }

    CallLog log;
    FakeInternet internet{log};
    FakeAutomation automation{log};
    FakeDesktop desktop{log};
    web::WebPlatform platform{internet, automation};
};

TEST_F(ActionsTest, FoundAddressGoesIntoTheBoxThenFromTheBoxToTheClipboard) {
    internet.bodyPieces = {kPage};
    ParseAndCopy(desktop, platform);

    EXPECT_EQ(DesktopCalls(), Lines({
                                  "desktop.GetControlText(编辑框1) -> " + Quoted(kPageAddress),
                                  "desktop.SetControlText(编辑框2, " + Quoted(kVideoAddress) + ")",
                                  "desktop.GetControlText(编辑框2) -> " + Quoted(kVideoAddress),
                                  "desktop.PutClipboardText(" + Quoted(kVideoAddress) + ") -> true",
                                  Shown(kCopiedMessage, "0x2001"),
                              }));
    ExpectFetchBetweenReadAndWrite();
    EXPECT_EQ(desktop.clipboard, Text(kVideoAddress));
    EXPECT_EQ(internet.OpenHandleCount(), 0);
}

TEST_F(ActionsTest, ClipboardGetsWhatTheBoxHoldsNotTheExtraction) {
    internet.bodyPieces = {kPage};
    desktop.keep = [](TextView written) { return Text(written.substr(0, 16)); };  // a box that keeps less
    ParseAndCopy(desktop, platform);

    EXPECT_EQ(desktop.clipboard, Text(kVideoAddress.substr(0, 16)));
}

// Every failure empties 编辑框2, leaves the clipboard as it was and says which
// failure it was, with OK only and a warning icon.
struct FailureCase {
    const char* name;
    FakeInternet::Step failAt;
    std::vector<std::string> bodyPieces;
    std::string rawHeaders;
    TextView message;
};

TEST_F(ActionsTest, FailuresAreReportedAndLeaveTheClipboardAlone) {
    const std::vector<FailureCase> cases = {
        {"no internet handle", FakeInternet::Step::Open, {}, "", kFetchFailedMessage},
        {"host unreachable", FakeInternet::Step::Connect, {}, "", kFetchFailedMessage},
        {"request refused or timed out", FakeInternet::Step::Send, {}, "", kFetchFailedMessage},
        {"page without the markers", FakeInternet::Step::None, {"<html>no player here</html>"},
         "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n", kNoAddressMessage},
        {"left marker without the right one", FakeInternet::Step::None,
         {"var videoUrl = \"http://127.0.0.1/v.mp4\";\n        var defaultImg"}, "HTTP/1.1 200 OK\r\n\r\n",
         kNoAddressMessage},
        {"empty answer", FakeInternet::Step::None, {}, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n",
         kNoAddressMessage},
    };
    for (const FailureCase& failure : cases) {
        SCOPED_TRACE(failure.name);
        log.lines.clear();
        internet.failAt = failure.failAt;
        internet.bodyPieces = failure.bodyPieces;
        internet.rawHeaders = failure.rawHeaders;
        desktop.control(ControlId::编辑框2) = "stale text from the last click";

        ParseAndCopy(desktop, platform);

        EXPECT_EQ(DesktopCalls(), Lines({
                                      "desktop.GetControlText(编辑框1) -> " + Quoted(kPageAddress),
                                      "desktop.SetControlText(编辑框2, \"\")",
                                      Shown(failure.message, "0x2030"),
                                  }));
        EXPECT_EQ(desktop.clipboard, Text("what the user copied earlier"));
        EXPECT_EQ(desktop.control(ControlId::编辑框2), Text());
    }
}

TEST_F(ActionsTest, ClipboardThatWillNotOpenIsReportedNotConfirmed) {
    internet.bodyPieces = {kPage};
    desktop.clipboardOpens = false;
    ParseAndCopy(desktop, platform);

    EXPECT_EQ(DesktopCalls(), Lines({
                                  "desktop.GetControlText(编辑框1) -> " + Quoted(kPageAddress),
                                  "desktop.SetControlText(编辑框2, " + Quoted(kVideoAddress) + ")",
                                  "desktop.GetControlText(编辑框2) -> " + Quoted(kVideoAddress),
                                  "desktop.PutClipboardText(" + Quoted(kVideoAddress) + ") -> false",
                                  Shown(kClipboardFailedMessage, "0x2030"),
                              }));
    EXPECT_EQ(desktop.clipboard, Text("what the user copied earlier"));
}

TEST_F(ActionsTest, ClearBoxesEmptiesBothBoxesAndTouchesNothingElse) {
    ClearBoxes(desktop);
    EXPECT_EQ(log.Text(), Lines({
                              "desktop.SetControlText(编辑框1, \"\")",
                              "desktop.SetControlText(编辑框2, \"\")",
                          }));
    EXPECT_EQ(desktop.clipboard, Text("what the user copied earlier"));
}

}  // namespace
}  // namespace veltrano::app
