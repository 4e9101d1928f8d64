// FetchPage on the real Linux stack (libcurl, iconv) against loopback servers:
// the request on the wire as a whole, the outputs, the charset decision, and
// the bad input that must end in an empty page. The tables are the ones the
// Wine test runs too (servers/FetchPageCases.h).
#include <gtest/gtest.h>

#include <chrono>

#include "ScriptedServer.h"
#include "platform/linux/web/CurlInternet.h"
#include "platform/linux/web/IconvStream.h"
#include "servers/FetchPageCases.h"
#include "web/FetchPage.h"

namespace veltrano::platform::linux_web {
namespace {

using namespace std::chrono_literals;
using testing::DefaultRequestTranscript;
using testing::Page;
using testing::Route;
using testing::ScriptedServer;
using testing::Send;

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
              DefaultRequestTranscript("/watch?id=7", server_.port(), Address("/watch?id=7")));
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
    for (const auto& c : testing::CharsetCases()) {
        SCOPED_TRACE(c.name);
        server_.Script({{"/", {Send(Page(c.headers, c.body))}}});
        EXPECT_EQ(web::FetchPage(Platform(), Address("/")), c.expected);
    }
}

TEST_F(FetchPageOnLinuxTest, RawHeaderBlockOfTheFinalResponse) {
    for (const auto& c : testing::HeaderBlockCases()) {
        SCOPED_TRACE(c.name);
        server_.Script({{"/h", {Send(c.response)}}, {"/landing", {Send(Page("", "landing"))}}});
        Text responseHeaders;
        static_cast<void>(web::FetchPage(Platform(), Address("/h"), {.responseHeaders = &responseHeaders}));
        EXPECT_EQ(responseHeaders, c.expectedBlock);
    }
}

TEST_F(FetchPageOnLinuxTest, ObjectPathOnTheRequestLine) {
    for (const auto& c : testing::ObjectPathCases()) {
        SCOPED_TRACE(c.name);
        server_.Script({});
        static_cast<void>(web::FetchPage(Platform(), Address(c.path)));
        const auto received = server_.Received();
        ASSERT_EQ(received.size(), 1u);
        EXPECT_EQ(received[0].head.substr(0, received[0].head.find("\r\n")), c.requestLine);
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
              DefaultRequestTranscript(Address("/p"), server_.port(), Address("/p"), "Cookie: a=1\r\n"));

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
    const std::string origin = server_.Origin();
    for (const auto& c : testing::BadAddressCases(origin, server_.port(), testing::ClosedPort())) {
        SCOPED_TRACE(c.name);
        server_.Script(testing::BadInputRoutes());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(web::FetchPage(Platform(), c.address), "");
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
        if (c.nothingSent) {
            EXPECT_EQ(server_.Transcript(), "");
        }
    }
    // A stall mid-body keeps what came: the page is not empty, but it ends.
    EXPECT_EQ(web::FetchPage(Platform(), origin + "/stall"), "var videoUrl");
    // A header block larger than the buffer does not fit; the body still comes.
    Text responseHeaders;
    const Text page = web::FetchPage(Platform(), origin + "/some-headers", {.responseHeaders = &responseHeaders});
    EXPECT_EQ(responseHeaders, std::string(5000, ' '));
    EXPECT_EQ(page, "body");
}

}  // namespace
}  // namespace veltrano::platform::linux_web
