// veltrano-cli as a user runs it: output, standard error lines, exit statuses.
#include <gtest/gtest.h>

#include "ScriptedServer.h"

namespace veltrano {
namespace {

using testing::ProgramResult;
using testing::RunProgram;
using testing::ScriptedServer;
using testing::Send;

const std::string kVideoPage =
    "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nSet-Cookie: sid=42; Path=/\r\n\r\n"
    "<script>\r\n        var videoUrl = \"http://v.example/\xE4\xB8\xAD.mp4\";\r\n        var defaultImg = \"\";";
const std::string kPlainPage = "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nno player";

class CliTest : public ::testing::Test {
protected:
    CliTest() {
        server_.Script({{"/video", {Send(kVideoPage)}}, {"/plain", {Send(kPlainPage)}}});
    }
    ProgramResult Cli(std::vector<std::string> arguments, std::string_view input = {},
                      const std::vector<std::pair<std::string, std::string>>& environment = {}) {
        arguments.insert(arguments.begin(), VELTRANO_CLI);
        return RunProgram(arguments, input, environment);
    }
    std::string At(std::string_view path) const { return server_.Origin() + std::string(path); }
    ScriptedServer server_;
};

TEST_F(CliTest, PrintsEachVideoAddressInUtf8AndNothingElse) {
    const auto result = Cli({At("/video"), At("/video")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "http://v.example/\xE4\xB8\xAD.mp4\nhttp://v.example/\xE4\xB8\xAD.mp4\n");
    EXPECT_EQ(result.err, "");
    // One process, one cookie store: the second fetch carries the first one's cookie.
    const auto received = server_.Received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].head.find("Cookie:"), std::string::npos);
    EXPECT_NE(received[1].head.find("\r\nCookie: sid=42\r\n"), std::string::npos);
}

TEST_F(CliTest, StatusIsTheHighestOfTheAddressesAndEachFailureSaysWhy) {
    const std::string refused = "http://127.0.0.1:" + std::to_string(testing::ClosedPort()) + "/";
    ScriptedServer untrusted(testing::Certificates().untrusted);
    untrusted.Script({{"/", {Send(kVideoPage)}}});
    struct Case {
        const char* name;
        std::vector<std::string> addresses;
        int status;
        std::string out;
        std::string err;
    };
    const std::string found = "http://v.example/\xE4\xB8\xAD.mp4\n";
    const std::string noResponse =
        ": could not fetch the page: no response (bad address, refused, unresolvable, timed out or untrusted "
        "certificate)\n";
    const std::vector<Case> cases = {
        {"page without an address", {At("/plain")}, 1, "",
         "veltrano-cli: " + At("/plain") + ": no video address in the page\n"},
        {"refused", {refused}, 2, "", "veltrano-cli: " + refused + noResponse},
        {"untrusted certificate", {untrusted.Origin("https") + "/"}, 2, "",
         "veltrano-cli: " + untrusted.Origin("https") + "/" + noResponse},
        {"control bytes are written out in the message", {At("/a\r\nX: 1")}, 2, "",
         "veltrano-cli: " + At("/a\\x0D\\x0AX: 1") + noResponse},
        {"found, none, refused: 2", {At("/video"), At("/plain"), refused}, 2, found,
         "veltrano-cli: " + At("/plain") + ": no video address in the page\nveltrano-cli: " + refused + noResponse},
        {"found and none: 1", {At("/plain"), At("/video")}, 1, found,
         "veltrano-cli: " + At("/plain") + ": no video address in the page\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = Cli(c.addresses);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, c.err);
    }
}

TEST_F(CliTest, ReadsAddressesFromStandardInputOnePerLine) {
    const auto result = Cli({}, At("/video") + "\r\n\n" + At("/plain") + "\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "http://v.example/\xE4\xB8\xAD.mp4\n");
    EXPECT_EQ(result.err, "veltrano-cli: " + At("/plain") + ": no video address in the page\n");
}

TEST_F(CliTest, IgnoresProxyEnvironmentLikeTheWindow) {
    const std::string nowhere = "http://127.0.0.1:" + std::to_string(testing::ClosedPort());
    const auto result = Cli({At("/video")}, {}, {{"http_proxy", nowhere}, {"ALL_PROXY", nowhere}});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "http://v.example/\xE4\xB8\xAD.mp4\n");
}

TEST_F(CliTest, UsageHelpAndVersion) {
    auto result = Cli({"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind("Usage: veltrano-cli [ADDRESS...]\n", 0), 0u);
    result = Cli({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "veltrano-cli 1.0.0.0\n");
    result = Cli({"--frobnicate", At("/video")});
    EXPECT_EQ(result.status, 64);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("veltrano-cli: unknown option --frobnicate\n", 0), 0u);
    result = Cli({}, "\n  \n");
    EXPECT_EQ(result.status, 64);
    EXPECT_EQ(result.err.rfind("veltrano-cli: no address given\n", 0), 0u);
    EXPECT_EQ(server_.Transcript(), "");
    result = Cli({"--", "-not-an-option"});  // after "--", an address: a bare word that does not resolve
    EXPECT_EQ(result.status, 2);
}

}  // namespace
}  // namespace veltrano
