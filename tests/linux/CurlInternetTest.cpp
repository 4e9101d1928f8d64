// The libcurl internet service against real loopback servers: what goes on the
// wire, what comes back through the seven operations, and the bad cases.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>

#include "ScriptedServer.h"
#include "platform/linux/web/CurlInternet.h"

namespace veltrano::platform::linux_web {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using testing::Route;
using testing::ScriptedServer;
using testing::Send;

struct Call {
    std::string agent = "TestAgent/1.0";
    std::uint32_t accessType = web::kOpenTypeDirect;
    std::string proxy;
    std::string host = "127.0.0.1";
    std::uint16_t port = 0;  // the server's
    std::string verb = "GET";
    std::string path = "/";
    std::uint32_t flags = web::kFlagReload | web::kFlagNeedFile | web::kFlagIgnoreRedirectToHttps;
    std::string headers = "Referer: r";
    std::optional<std::string> body;
};

// The seven operations in the order the fetcher makes them; one line per outcome.
std::string Exchange(web::Internet& internet, const Call& call) {
    std::string out;
    auto internetHandle = internet.Open(call.agent.empty() ? nullptr : call.agent.c_str(), call.accessType,
                                        call.accessType == web::kOpenTypeProxy ? call.proxy.c_str() : nullptr,
                                        call.accessType == web::kOpenTypeProxy ? "" : nullptr, 0);
    if (internetHandle == nullptr) return "open failed\n";
    auto connection = internet.Connect(internetHandle, call.host.c_str(), call.port, nullptr, nullptr,
                                       web::kServiceHttp, 0, 0);
    if (connection == nullptr) {
        internet.CloseHandle(internetHandle);
        return "connect failed\n";
    }
    auto request = internet.OpenRequest(connection, call.verb.c_str(), call.path.c_str(), "HTTP/1.1", nullptr,
                                        nullptr, call.flags, 0);
    if (request == nullptr) {
        internet.CloseHandle(connection);
        internet.CloseHandle(internetHandle);
        return "request refused\n";
    }
    const bool sent = call.body ? internet.SendRequest(request, call.headers.c_str(),
                                                       static_cast<std::uint32_t>(call.headers.size()),
                                                       call.body->data(), static_cast<std::uint32_t>(call.body->size()))
                                : internet.SendRequest(request, call.headers.c_str(),
                                                       static_cast<std::uint32_t>(call.headers.size()), "", 0);
    out += sent ? "sent\n" : "send failed\n";
    std::string body;
    bool readOk = true;
    for (;;) {
        char buffer[1024] = {};
        std::uint32_t count = 0;
        readOk = internet.ReadFile(request, buffer, sizeof buffer, &count);
        if (!readOk || count == 0) break;
        body.append(buffer, count);
    }
    out += readOk ? "read to the end\n" : "read failed\n";
    std::string headers(5000, ' ');
    std::uint32_t length = 5000;
    const bool queried = internet.QueryInfo(request, web::kQueryRawHeadersCrlf, headers.data(), &length, nullptr);
    headers.resize(headers.find('\0') == std::string::npos ? headers.size() : headers.find('\0'));
    out += queried ? headers : "query failed\n";
    out += body;
    internet.CloseHandle(request);
    internet.CloseHandle(connection);
    internet.CloseHandle(internetHandle);
    return out;
}

std::string WithPort(std::string text, int port) {
    const std::string mark = "{port}";
    for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark)) {
        text.replace(at, mark.size(), std::to_string(port));
    }
    return text;
}

CurlInternetOptions ShortTimeouts() {
    CurlInternetOptions options;
    options.certificateAuthorityFile = testing::Certificates().authority;
    options.connectTimeout = 2s;
    options.idleTimeout = 1500ms;
    return options;
}

class CurlInternetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new ScriptedServer(); }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    Call At(std::string path) const {
        Call call;
        call.port = static_cast<std::uint16_t>(server_->port());
        call.path = std::move(path);
        return call;
    }
    static ScriptedServer* server_;
    CurlInternet internet_{ShortTimeouts()};
};
ScriptedServer* CurlInternetTest::server_ = nullptr;

const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
const std::string kOkBlock = "sent\nread to the end\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";

struct WireCase {
    const char* name;
    std::vector<Route> routes;
    Call call;
    std::string expectedServerSaw;
    std::string expectedResult;
};

TEST_F(CurlInternetTest, RequestOnTheWireAndResponseAsTheCallerSeesIt) {
    const auto at = [this](std::string path, auto&& tweak) {
        Call call = At(std::move(path));
        tweak(call);
        return call;
    };
    const auto same = [](Call&) {};
    const std::vector<WireCase> cases = {
        {"plain GET: agent, caller headers as given, nothing of curl's own",
         {{"/page?q=1", {Send(kOk)}}},
         at("/page?q=1", [](Call& c) { c.headers = "Referer: x\r\nAccept: */*\r\nX-Empty:\r\nContent-Type: a/b"; }),
         "GET /page?q=1 HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUser-Agent: TestAgent/1.0\r\nReferer: x\r\n"
         "Accept: */*\r\nX-Empty:\r\nContent-Type: a/b\r\n\r\n\n----\n",
         kOkBlock},
        {"no agent given: no User-Agent line",
         {{"/", {Send(kOk)}}},
         at("/", [](Call& c) { c.agent.clear(); }),
         "GET / HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nReferer: r\r\n\r\n\n----\n",
         kOkBlock},
        {"POST with a body: Content-Length, no Expect, no Content-Type of curl's",
         {{"/post", {Send(kOk)}}},
         at("/post", [](Call& c) {
             c.verb = "POST";
             c.body = std::string(3000, 'b');
         }),
         "POST /post HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUser-Agent: TestAgent/1.0\r\nReferer: r\r\n"
         "Content-Length: 3000\r\n\r\n" + std::string(3000, 'b') + "\n----\n",
         kOkBlock},
        {"POST without data still says Content-Length: 0",
         {{"/post", {Send(kOk)}}},
         at("/post", [](Call& c) { c.verb = "POST"; }),
         "POST /post HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUser-Agent: TestAgent/1.0\r\nReferer: r\r\n"
         "Content-Length: 0\r\n\r\n\n----\n",
         kOkBlock},
        {"GET with a body attached sends it",
         {{"/g", {Send(kOk)}}},
         at("/g", [](Call& c) { c.body = "a=1"; }),
         "GET /g HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUser-Agent: TestAgent/1.0\r\nReferer: r\r\n"
         "Content-Length: 3\r\n\r\na=1\n----\n",
         kOkBlock},
        {"path: spaces become %20, trailing CR/LF go, other bytes pass unchanged",
         {{"/a%20b/\xD6\xD0?x=\"1\"", {Send(kOk)}}},
         at("/a b/\xD6\xD0?x=\"1\"\r\n", same),
         "GET /a%20b/\xD6\xD0?x=\"1\" HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUser-Agent: TestAgent/1.0\r\n"
         "Referer: r\r\n\r\n\n----\n",
         kOkBlock},
        {"header block rebuilt: Name: value, order kept, 100-continue dropped",
         {{"/h", {Send("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 Fine\r\nContent-Type:text/html;charset=utf-8\r\n"
                       "X-Spaced:   two  words  \r\nSet-Cookie: a=1\r\nContent-Length: 2\r\n\r\nok")}}},
         at("/h", same),
         "GET /h HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUser-Agent: TestAgent/1.0\r\nReferer: r\r\n\r\n\n----\n",
         "sent\nread to the end\nHTTP/1.1 200 Fine\r\nContent-Type: text/html;charset=utf-8\r\n"
         "X-Spaced: two  words\r\nSet-Cookie: a=1\r\nContent-Length: 2\r\n\r\nok"},
        {"chunked body arrives de-chunked, NUL bytes intact, nothing decompressed",
         {{"/c", {Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Encoding: gzip\r\n\r\n"),
                  Send("3\r\nab\0\r\n"s), testing::Sleep(0.2), Send("4\r\ncdef\r\n0\r\n\r\n")}}},
         at("/c", same),
         "GET /c HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUser-Agent: TestAgent/1.0\r\nReferer: r\r\n\r\n\n----\n",
         "sent\nread to the end\nHTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Encoding: gzip"
         "\r\n\r\nab\0cdef"s},
        {"body ended by the server closing the connection",
         {{"/close", {Send("HTTP/1.0 200 OK\r\n\r\nuntil the end")}}},
         at("/close", same),
         "GET /close HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUser-Agent: TestAgent/1.0\r\nReferer: r\r\n\r\n\n----\n",
         "sent\nread to the end\nHTTP/1.0 200 OK\r\n\r\nuntil the end"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server_->Script(c.routes);
        CurlInternet internet(ShortTimeouts());  // a cookie of one case stays out of the next
        const std::string result = Exchange(internet, c.call);
        EXPECT_EQ(server_->Transcript(), WithPort(c.expectedServerSaw, server_->port()));
        EXPECT_EQ(result, c.expectedResult);
    }
}

std::string Redirect(int status, std::string_view location) {
    return Send("HTTP/1.1 " + std::to_string(status) + " Moved\r\nLocation: " + std::string(location) +
                "\r\nContent-Length: 4\r\n\r\nmove");
}

std::string RequestLines(const ScriptedServer& server) {
    std::string lines;
    for (const auto& request : server.Received()) {
        lines += request.head.substr(0, request.head.find("\r\n"));
        if (!request.body.empty()) lines += " +" + request.body;
        lines += "\n";
    }
    return lines;
}

TEST_F(CurlInternetTest, RedirectsFollowTheMethodRulesAndStopWhereTheyShould) {
    struct Case {
        const char* name;
        std::vector<Route> routes;
        std::string verb;
        std::uint32_t extraFlags;
        std::string expectedRequests;
        std::string expectedStatusLine;
    };
    const std::vector<Case> cases = {
        {"302 chain, POST becomes GET and loses its body, relative Location",
         {{"/r1", {Redirect(302, "/r2")}}, {"/r2", {Redirect(301, "r3")}}, {"/r3", {Send(kOk)}}},
         "POST", 0, "POST /r1 HTTP/1.1 +data\nGET /r2 HTTP/1.1\nGET /r3 HTTP/1.1\n", "HTTP/1.1 200 OK"},
        {"303 turns POST into GET",
         {{"/r1", {Redirect(303, "/end")}}, {"/end", {Send(kOk)}}},
         "POST", 0, "POST /r1 HTTP/1.1 +data\nGET /end HTTP/1.1\n", "HTTP/1.1 200 OK"},
        {"307 and 308 keep method and body",
         {{"/r1", {Redirect(307, "/r2")}}, {"/r2", {Redirect(308, "/end")}}, {"/end", {Send(kOk)}}},
         "POST", 0, "POST /r1 HTTP/1.1 +data\nPOST /r2 HTTP/1.1 +data\nPOST /end HTTP/1.1 +data\n",
         "HTTP/1.1 200 OK"},
        {"no auto redirect: the 302 itself comes back",
         {{"/r1", {Redirect(302, "/r2")}}, {"/r2", {Send(kOk)}}},
         "GET", web::kFlagNoAutoRedirect, "GET /r1 HTTP/1.1\n", "HTTP/1.1 302 Moved"},
        {"a Location that is not http(s) is not followed",
         {{"/r1", {Redirect(302, "ftp://127.0.0.1/x")}}},
         "GET", 0, "GET /r1 HTTP/1.1\n", "HTTP/1.1 302 Moved"},
        {"a loop stops after 20 hops with the last 3xx",
         {{"/loop", {Redirect(302, "/loop")}}},
         "GET", 0, [] {
             std::string lines;
             for (int i = 0; i < 21; ++i) lines += "GET /loop HTTP/1.1\n";
             return lines;
         }(),
         "HTTP/1.1 302 Moved"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server_->Script(c.routes);
        Call call = At("/" + c.routes.front().target.substr(1));
        call.verb = c.verb;
        call.flags |= c.extraFlags;
        if (c.verb == "POST") call.body = "data";
        const std::string result = Exchange(internet_, call);
        EXPECT_EQ(RequestLines(*server_), c.expectedRequests);
        EXPECT_EQ(result.substr(0, result.find("\r\n")), "sent\nread to the end\n" + c.expectedStatusLine);
    }
}

TEST_F(CurlInternetTest, CookieStoreIsSharedAcrossRequestsAndHopsUnlessSwitchedOff) {
    server_->Script({{"/set", {Send("HTTP/1.1 302 Found\r\nSet-Cookie: hop=1; Path=/\r\nLocation: /landing\r\n"
                                    "Content-Length: 0\r\n\r\n")}},
                     {"/landing", {Send("HTTP/1.1 200 OK\r\nSet-Cookie: page=2\r\nContent-Length: 2\r\n\r\nok")}},
                     {"/check", {Send(kOk)}},
                     {"/private", {Send("HTTP/1.1 200 OK\r\nSet-Cookie: secret=3\r\nContent-Length: 2\r\n\r\nok")}}});
    // One service is one store: a second instance shares nothing with this one.
    Exchange(internet_, At("/set"));
    Call noCookies = At("/private");
    noCookies.flags |= web::kFlagNoCookies;
    Exchange(internet_, noCookies);
    Exchange(internet_, noCookies);
    Exchange(internet_, At("/check"));
    const auto received = server_->Received();
    ASSERT_EQ(received.size(), 5u);
    auto cookieLine = [](const std::string& head) {
        const auto at = head.find("Cookie: ");
        return at == std::string::npos ? std::string("(none)") : head.substr(at, head.find("\r\n", at) - at);
    };
    EXPECT_EQ(cookieLine(received[0].head), "(none)");
    EXPECT_EQ(cookieLine(received[1].head), "Cookie: hop=1");  // the redirect hop
    EXPECT_EQ(cookieLine(received[2].head), "(none)");         // switched off: nothing sent
    EXPECT_EQ(cookieLine(received[3].head), "(none)");         // ... and nothing stored
    const std::string both = cookieLine(received[4].head);  // the store's order is its own
    EXPECT_TRUE(both == "Cookie: hop=1; page=2" || both == "Cookie: page=2; hop=1") << both;
}

TEST_F(CurlInternetTest, ProxyListSendsHttpThroughTheProxyAndEverythingElseDirect) {
    ScriptedServer proxy;
    ScriptedServer tlsOrigin(testing::Certificates().trusted);
    proxy.Script({{"/via", {Send(kOk)}}});
    server_->Script({{"/via", {Send(kOk)}}});
    tlsOrigin.Script({{"/via", {Send(kOk)}}});
    const std::string proxyEntry = "http=127.0.0.1:" + std::to_string(proxy.port());

    Call http = At("/via");
    http.accessType = web::kOpenTypeProxy;
    http.proxy = proxyEntry;
    EXPECT_EQ(Exchange(internet_, http), kOkBlock);
    EXPECT_EQ(proxy.Transcript(), WithPort("GET http://127.0.0.1:{port}/via HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\n"
                                           "User-Agent: TestAgent/1.0\r\nReferer: r\r\n\r\n\n----\n",
                                           server_->port()));
    EXPECT_EQ(server_->Transcript(), "");

    Call https = http;
    https.port = static_cast<std::uint16_t>(tlsOrigin.port());
    https.flags = web::kFlagReload | web::kFlagNeedFile | web::kFlagSecure;
    proxy.Script({{"/via", {Send(kOk)}}});
    EXPECT_EQ(Exchange(internet_, https), kOkBlock);
    EXPECT_EQ(proxy.Transcript(), "");
    EXPECT_EQ(RequestLines(tlsOrigin), "GET /via HTTP/1.1\n");

    Call emptyEntry = At("/via");
    emptyEntry.accessType = web::kOpenTypeProxy;
    emptyEntry.proxy = "http=";
    EXPECT_EQ(Exchange(internet_, emptyEntry), kOkBlock);
    EXPECT_EQ(RequestLines(*server_), "GET /via HTTP/1.1\n");
    EXPECT_EQ(proxy.Transcript(), "");
}

TEST_F(CurlInternetTest, DirectHandleIgnoresProxyEnvironment) {
    ScriptedServer proxy;
    proxy.Script({{"/", {Send(kOk)}}});
    server_->Script({{"/env", {Send(kOk)}}});
    const std::string proxyUrl = "http://127.0.0.1:" + std::to_string(proxy.port());
    setenv("http_proxy", proxyUrl.c_str(), 1);
    setenv("HTTP_PROXY", proxyUrl.c_str(), 1);
    setenv("ALL_PROXY", proxyUrl.c_str(), 1);
    const std::string result = Exchange(internet_, At("/env"));
    unsetenv("http_proxy");
    unsetenv("HTTP_PROXY");
    unsetenv("ALL_PROXY");
    EXPECT_EQ(result, kOkBlock);
    EXPECT_EQ(RequestLines(*server_), "GET /env HTTP/1.1\n");
    EXPECT_EQ(proxy.Transcript(), "");
}

TEST_F(CurlInternetTest, HeaderQueryFailsAndLeavesTheBufferWhenTheBlockDoesNotFit) {
    const std::string block = "HTTP/1.1 200 OK\r\nX-Fill: " + std::string(4971, 'f') + "\r\n\r\n";
    ASSERT_EQ(block.size(), 5000u);  // with its NUL one byte too many
    server_->Script({{"/big", {Send(block)}}});
    Call call = At("/big");
    auto internetHandle = internet_.Open("a", web::kOpenTypeDirect, nullptr, nullptr, 0);
    auto connection = internet_.Connect(internetHandle, "127.0.0.1", call.port, nullptr, nullptr,
                                        web::kServiceHttp, 0, 0);
    auto request = internet_.OpenRequest(connection, "GET", "/big", "HTTP/1.1", nullptr, nullptr, call.flags, 0);
    ASSERT_TRUE(internet_.SendRequest(request, nullptr, 0, "", 0));
    std::string buffer(5000, ' ');
    std::uint32_t length = 5000;
    EXPECT_FALSE(internet_.QueryInfo(request, web::kQueryRawHeadersCrlf, buffer.data(), &length, nullptr));
    EXPECT_EQ(buffer, std::string(5000, ' '));
    std::string larger(5001, ' ');
    length = 5001;
    EXPECT_TRUE(internet_.QueryInfo(request, web::kQueryRawHeadersCrlf, larger.data(), &length, nullptr));
    EXPECT_EQ(larger.substr(0, 5000), block);
    EXPECT_EQ(larger[5000], '\0');
    internet_.CloseHandle(request);
    internet_.CloseHandle(connection);
    internet_.CloseHandle(internetHandle);
}

TEST_F(CurlInternetTest, TlsIsVerifiedAgainstTheTrustedAuthorityOnly) {
    ScriptedServer trusted(testing::Certificates().trusted);
    ScriptedServer untrusted(testing::Certificates().untrusted);
    trusted.Script({{"/", {Send(kOk)}}});
    untrusted.Script({{"/", {Send(kOk)}}});
    Call call = At("/");
    call.flags = web::kFlagReload | web::kFlagNeedFile | web::kFlagSecure;
    call.port = static_cast<std::uint16_t>(trusted.port());
    EXPECT_EQ(Exchange(internet_, call), kOkBlock);

    CurlInternet systemStoreOnly;  // production: the test authority is unknown there
    EXPECT_EQ(Exchange(systemStoreOnly, call), "send failed\nread failed\nquery failed\n");

    call.port = static_cast<std::uint16_t>(untrusted.port());
    EXPECT_EQ(Exchange(internet_, call), "send failed\nread failed\nquery failed\n");
    EXPECT_EQ(untrusted.Transcript(), "");
}

TEST_F(CurlInternetTest, BadAddressesAndBadServersEndWithinTheTimeOuts) {
    struct Case {
        const char* name;
        std::vector<Route> routes;
        Call call;
        std::string expected;
    };
    Call refused = At("/");
    refused.port = static_cast<std::uint16_t>(testing::ClosedPort());
    Call unresolvable = At("/");
    unresolvable.host = "no-such-host.invalid";
    const std::string noResponse = "send failed\nread failed\nquery failed\n";
    const std::vector<Case> cases = {
        {"closed port", {}, refused, noResponse},
        {"host that does not resolve", {}, unresolvable, noResponse},
        {"server that never answers", {{"/", {testing::Stall()}}}, At("/"), noResponse},
        {"server that answers half a header block and stalls",
         {{"/", {Send("HTTP/1.1 200 OK\r\nContent-"), testing::Stall()}}}, At("/"), noResponse},
        {"server that stalls mid-body: what came is kept, the read fails",
         {{"/", {Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst part"), testing::Stall()}}}, At("/"),
         "sent\nread failed\nHTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst part"},
        {"10 MB of headers",
         {{"/", {Send("HTTP/1.1 200 OK\r\n"), testing::Repeat("X-Fill: " + std::string(90, 'x') + "\r\n", 100000),
                 Send("\r\nbody")}}},
         At("/"), noResponse},
        {"one header line of 1 MB",
         {{"/", {Send("HTTP/1.1 200 OK\r\nX-Long: "), testing::Repeat("y", 1 << 20), Send("\r\n\r\n")}}}, At("/"),
         noResponse},
        {"not HTTP at all", {{"/", {Send("hello there\r\n\r\n")}}}, At("/"), noResponse},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server_->Script(c.routes);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Exchange(internet_, c.call), c.expected);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    }
}

TEST_F(CurlInternetTest, AddressesWithControlBytesAreRefusedBeforeAnythingIsSent) {
    server_->Script({{"/", {Send(kOk)}}});
    const std::vector<std::pair<const char*, Call>> cases = {
        {"CR LF inside the path", At("/a\r\nX-Injected: 1")},
        {"LF inside the path", At("/a\nb")},
        {"TAB in the path", At("/a\tb")},
        {"DEL in the path", At("/a\x7F")},
        {"control byte in the host", [this] {
             Call call = At("/");
             call.host = "127.0.0.1\r\nX: 1";
             return call;
         }()},
        {"space in the host", [this] {
             Call call = At("/");
             call.host = "127.0.0.1 x";
             return call;
         }()},
    };
    for (const auto& [name, call] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Exchange(internet_, call), "request refused\n");
    }
    EXPECT_EQ(server_->Transcript(), "");
}

TEST_F(CurlInternetTest, SlowBodyBelowTheIdleLimitArrivesWhole) {
    std::vector<std::string> actions = {Send("HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\n")};
    for (const char* piece : {"ab", "cd", "ef"}) {
        actions.push_back(testing::Sleep(0.6));
        actions.push_back(Send(piece));
    }
    server_->Script({{"/slow", actions}});
    EXPECT_EQ(Exchange(internet_, At("/slow")),
              "sent\nread to the end\nHTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nabcdef");
}

TEST_F(CurlInternetTest, LargeBodyStreamsThroughSmallReadsIntact) {
    std::string piece;
    for (int i = 0; i < 251; ++i) piece += static_cast<char>(i);
    const long count = 20000;  // about 5 MB, far beyond the layer's own buffer
    server_->Script({{"/large", {Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(251 * count) +
                                      "\r\n\r\n"),
                                 testing::Repeat(piece, count)}}});
    const std::string result = Exchange(internet_, At("/large"));
    const std::string head = "sent\nread to the end\nHTTP/1.1 200 OK\r\nContent-Length: 5020000\r\n\r\n";
    ASSERT_EQ(result.size(), head.size() + 251u * count);
    EXPECT_EQ(result.substr(0, head.size()), head);
    for (long i = 0; i < count; i += 997) {
        ASSERT_EQ(result.compare(head.size() + static_cast<std::size_t>(i) * 251, 251, piece), 0) << i;
    }
}

}  // namespace
}  // namespace veltrano::platform::linux_web
