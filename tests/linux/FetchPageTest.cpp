// FetchPage on the real Linux stack (libcurl, iconv) against loopback servers:
// the request on the wire as a whole, the outputs, the charset decision, and
// the bad input that must end in an empty page.
#include <gtest/gtest.h>

#include <chrono>

#include "ScriptedServer.h"
#include "platform/linux/web/CurlInternet.h"
#include "platform/linux/web/IconvStream.h"
#include "web/FetchPage.h"

namespace veltrano::platform::linux_web {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using testing::Route;
using testing::ScriptedServer;
using testing::Send;

std::string WithPort(std::string text, int port) {
    for (auto at = text.find("{port}"); at != std::string::npos; at = text.find("{port}")) {
        text.replace(at, 6, std::to_string(port));
    }
    return text;
}

std::string Page(std::string_view headers, std::string_view body) {
    return "HTTP/1.1 200 OK\r\n" + std::string(headers) + "Content-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + std::string(body);
}

class FetchPageOnLinuxTest : public ::testing::Test {
protected:
    FetchPageOnLinuxTest() : internet_([] {
        CurlInternetOptions options;
        options.certificateAuthorityFile = testing::Certificates().authority;
        options.connectTimeout = 2s;
        options.idleTimeout = 1500ms;
        return options;
    }()) {}
    web::WebPlatform Platform() { return {internet_, automation_}; }
    std::string Address(std::string_view path) const { return server_.Origin() + std::string(path); }

    ScriptedServer server_;
    CurlInternet internet_;
    IconvAutomation automation_;
};

TEST_F(FetchPageOnLinuxTest, TheWindowsCallSendsTheDefaultRequestAndReturnsThePage) {
    server_.Script({{"/watch?id=7", {Send(Page("", "<html>page</html>"))}}});
    const Text page = web::FetchPage(Platform(), Address("/watch?id=7"));
    EXPECT_EQ(page, "<html>page</html>");
    EXPECT_EQ(server_.Transcript(),
              WithPort("GET /watch?id=7 HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\n"
                       "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; ZK9QW; .NET CLR 2.0.50727; "
                       ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)\r\n"
                       "Referer: http://127.0.0.1:{port}/watch?id=7\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
                       "Content-Type: application/x-www-form-urlencoded\r\n\r\n\n----\n",
                       server_.port()));
}

TEST_F(FetchPageOnLinuxTest, HttpsPageThroughTheTrustedAuthority) {
    ScriptedServer tls(testing::Certificates().trusted);
    tls.Script({{"/", {Send(Page("", "secure"))}}});
    EXPECT_EQ(web::FetchPage(Platform(), tls.Origin("https") + "/"), "secure");
    ScriptedServer untrusted(testing::Certificates().untrusted);
    untrusted.Script({{"/", {Send(Page("", "must not arrive"))}}});
    Text responseHeaders = "kept?";
    EXPECT_EQ(web::FetchPage(Platform(), untrusted.Origin("HTTPS") + "/", {.responseHeaders = &responseHeaders}), "");
    EXPECT_EQ(responseHeaders, std::string(5000, ' '));
}

TEST_F(FetchPageOnLinuxTest, Utf8IsDecidedByBodyPositionOrHeaderBlock) {
    const std::string chinese = "\xE4\xB8\xAD";  // GBK D6 D0
    struct Case {
        const char* name;
        std::string headers;
        std::string body;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"utf-8 at body position 499", "", std::string(498, ' ') + "utf-8" + chinese,
         std::string(498, ' ') + "utf-8\xD6\xD0"},
        {"utf-8 at body position 500 and not in the headers", "", std::string(499, ' ') + "utf-8" + chinese,
         std::string(499, ' ') + "utf-8" + chinese},
        {"utf-8 at 500 but UTF-8 in the header block", "Content-Type: text/html; charset=UTF-8\r\n",
         std::string(499, ' ') + "utf-8" + chinese, std::string(499, ' ') + "utf-8\xD6\xD0"},
        {"upper-case UTF-8 in the body only", "", "UTF-8" + chinese, "UTF-8" + chinese},
        {"NUL in the body ends the page", "", "before\0after"s, "before"},
        {"invalid UTF-8 that claims utf-8", "Content-Type: text/html; charset=utf-8\r\n", "a\xFF\xFE" "b",
         "a??b"},
        {"empty body", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server_.Script({{"/", {Send(Page(c.headers, c.body))}}});
        EXPECT_EQ(web::FetchPage(Platform(), Address("/")), c.expected);
    }
}

TEST_F(FetchPageOnLinuxTest, SuppliedCookiesRedirectAndProxyOnTheWire) {
    ScriptedServer proxy;
    proxy.Script({{"/p", {Send(Page("Set-Cookie: b=2; Path=/\r\nSet-Cookie: a=9; Path=/\r\n", "via proxy"))}}});
    server_.Script({{"/moved", {Send("HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\nContent-Length: 0\r\n\r\n")}}});

    Text cookies = "a=1";
    Text redirectAddress;
    const Text page = web::FetchPage(Platform(), Address("/p"),
                                     {.cookies = &cookies,
                                      .redirectAddress = &redirectAddress,
                                      .proxy = "127.0.0.1:" + std::to_string(proxy.port())});
    EXPECT_EQ(page, "via proxy");
    // The merge's own form is the portable code's; here: both arrived, the new a won.
    EXPECT_NE(cookies.find("a=9"), std::string::npos) << cookies;
    EXPECT_NE(cookies.find("b=2"), std::string::npos) << cookies;
    EXPECT_EQ(cookies.find("a=1"), std::string::npos) << cookies;
    EXPECT_EQ(redirectAddress.substr(0, 17), "HTTP/1.1 200 OK\r\n");
    EXPECT_EQ(proxy.Transcript(),
              WithPort("GET http://127.0.0.1:{port}/p HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\n"
                       "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; ZK9QW; .NET CLR 2.0.50727; "
                       ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)\r\n"
                       "Referer: http://127.0.0.1:{port}/p\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
                       "Content-Type: application/x-www-form-urlencoded\r\nCookie: a=1\r\n\r\n\n----\n",
                       server_.port()));

    // Cookies were supplied, so the platform's store took none of them.
    server_.Script({{"/moved", {Send("HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\nContent-Length: 0\r\n\r\n")}}});
    redirectAddress.clear();
    EXPECT_EQ(web::FetchPage(Platform(), Address("/moved"), {.redirectAddress = &redirectAddress,
                                                             .noAutoRedirect = true}),
              "");
    EXPECT_EQ(redirectAddress, "/elsewhere");
    const auto received = server_.Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].head.find("Cookie:"), std::string::npos);
}

TEST_F(FetchPageOnLinuxTest, BadInputGivesAnEmptyPageWithinTheTimeOuts) {
    server_.Script({{"/never", {testing::Stall()}},
                    {"/stall", {Send("HTTP/1.1 200 OK\r\nContent-Length: 99\r\n\r\nvar videoUrl"), testing::Stall()}},
                    {"/headers", {Send("HTTP/1.1 200 OK\r\n"),
                                  testing::Repeat("X-Fill: " + std::string(90, 'x') + "\r\n", 100000),
                                  Send("\r\nbody")}}});
    const std::string origin = server_.Origin();
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty address", ""},
        {"a bare word", "word"},
        {"spaces in the host", "http://127.0.0.1 evil/"},
        {"CR LF in the address", origin + "/a\r\nX-Injected: 1"},
        {"control byte in the address", origin + "/a\x01"},
        {"unknown scheme", "ftp://127.0.0.1:" + std::to_string(server_.port()) + "/"},
        {"host that does not resolve", "http://no-such-host.invalid/"},
        {"closed port", "http://127.0.0.1:" + std::to_string(testing::ClosedPort()) + "/"},
        {"server that never answers", origin + "/never"},
        {"server that sends 10 MB of headers", origin + "/headers"},
    };
    for (const auto& [name, address] : cases) {
        SCOPED_TRACE(name);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(web::FetchPage(Platform(), address), "");
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    }
    // A stall mid-body keeps what came: the page is not empty, but it ends.
    EXPECT_EQ(web::FetchPage(Platform(), origin + "/stall"), "var videoUrl");
    EXPECT_EQ(server_.Transcript().find("X-Injected"), std::string::npos);
}

}  // namespace
}  // namespace veltrano::platform::linux_web
