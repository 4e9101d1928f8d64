#include "web/FetchPage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes/FakeAutomation.h"
#include "fakes/FakeInternet.h"

namespace veltrano::web {
namespace {

using fakes::CallLog;
using fakes::FakeAutomation;
using fakes::FakeInternet;
using fakes::Lines;
using fakes::Quoted;

const std::string kAgent = Quoted(kDefaultAgent);
constexpr const char* kPlainFlags = "RELOAD|NEED_FILE|IGNORE_REDIRECT_TO_HTTPS";

// The lines appended after the Referer line when the caller's text has none of them.
const Text kDefaultTail =
    "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded";

Text DefaultHeaders(TextView address) { return TextConcat("Referer: ", address, kDefaultTail); }

std::string OpenDirect(const std::string& agent = kAgent) {
    return "Open(agent=" + agent + ", access=1, proxy=null, bypass=null, flags=0x0) -> internet#1";
}
std::string Connect(const std::string& server, int port) {
    return "Connect(internet#1, server=" + Quoted(server) + ", port=" + std::to_string(port) +
           ", user=null, password=null, service=3, flags=0x0, context=0) -> connection#2";
}
std::string OpenRequest(const std::string& verb, const std::string& object, const std::string& flags) {
    return "OpenRequest(connection#2, verb=" + Quoted(verb) + ", object=" + Quoted(object) +
           ", version=\"HTTP/1.1\", referrer=null, accept=null, flags=" + flags + ", context=0) -> request#3";
}
// optional is the transcript form of the body argument: "null" or a quoted text.
std::string Send(const std::string& headers, const std::string& optional, std::size_t optionalLength,
                 bool ok = true) {
    return "SendRequest(request#3, headers=" + Quoted(headers) + ", length=" + std::to_string(headers.size()) +
           ", optional=" + optional + ", length=" + std::to_string(optionalLength) + ") -> " + (ok ? "true" : "false");
}
std::string Read(int count) { return "ReadFile(request#3, 1024) -> " + std::to_string(count); }
const std::string kQuery = "QueryInfo(request#3, level=22, length=5000, index=null) -> true";
const std::string kQueryFailed = "QueryInfo(request#3, level=22, length=5000, index=null) -> false";
const std::vector<std::string> kCloseAll = {"CloseHandle(request#3)", "CloseHandle(connection#2)",
                                            "CloseHandle(internet#1)"};

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

class FetchPageTest : public testing::Test {
protected:
    Text Fetch(TextView address, const FetchOptions& options = {}) {
        return FetchPage({internet, automation}, address, options);
    }

    CallLog log;
    FakeInternet internet{log};
    FakeAutomation automation{log};
};

TEST_F(FetchPageTest, ApplicationCallIsAPlainDirectGet) {
    const Text address = "http://www.Site.cn/Play/1.html?id=5";
    internet.bodyPieces = {"<html>", "page</html>"};
    internet.rawHeaders = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=gbk\r\n\r\n";

    EXPECT_EQ(Fetch(address), "<html>page</html>");

    EXPECT_EQ(log.Text(), Lines(Join({{OpenDirect(), Connect("www.site.cn", 80),
                                       OpenRequest("GET", "/Play/1.html?id=5", kPlainFlags),
                                       Send(DefaultHeaders(address), "\"\"", 0), Read(6), Read(11), Read(0), kQuery},
                                      kCloseAll})));
    EXPECT_EQ(internet.OpenHandleCount(), 0);
}

TEST_F(FetchPageTest, RequestFollowsTheOptions) {
    struct Case {
        const char* name;
        Text address;
        FetchOptions options;  // pointers are wired to the fields below
        std::optional<Text> cookies;
        Text requestHeaders;
        Bytes bodyBytes;
        std::vector<std::string> expectedRequest;  // Open to SendRequest
        Text headersAfter;
        Bytes bodyBytesAfter;
    };
    const Text a = "http://h.cn/p";
    const std::string cookieFlags = "RELOAD|NEED_FILE|NO_COOKIES|IGNORE_REDIRECT_TO_HTTPS";
    const Text lowerCaseNames = "user-agent:  low \r\nreferer: r\r\naccept: x\r\naccept-language: y\r\ncontent-type: z";
    const std::vector<Case> cases = {
        {"https", "HTTPS://h.cn/x", {}, {}, "", {},
         {OpenDirect(), Connect("h.cn", 443), OpenRequest("GET", "/x", "RELOAD|NEED_FILE|SECURE"),
          Send(DefaultHeaders("HTTPS://h.cn/x"), "\"\"", 0)},
         DefaultHeaders("HTTPS://h.cn/x"), {}},
        {"explicit port", "http://h.cn:8080/p", {}, {}, "", {},
         {OpenDirect(), Connect("h.cn", 8080), OpenRequest("GET", "/p", kPlainFlags),
          Send(DefaultHeaders("http://h.cn:8080/p"), "\"\"", 0)},
         DefaultHeaders("http://h.cn:8080/p"), {}},
        {"post writes the body text back as bytes", a, {.method = 1, .bodyText = "a=1&b=2"}, {}, "", {},
         {OpenDirect(), Connect("h.cn", 80), OpenRequest("POST", "/p", kPlainFlags),
          Send(DefaultHeaders(a), "\"a=1&b=2\"", 7)},
         DefaultHeaders(a), TextToBytes("a=1&b=2")},
        {"method 2 is a get with a body", a, {.method = 2, .bodyText = "q"}, {}, "", {},
         {OpenDirect(), Connect("h.cn", 80), OpenRequest("GET", "/p", kPlainFlags),
          Send(DefaultHeaders(a), "\"q\"", 1)},
         DefaultHeaders(a), TextToBytes("q")},
        {"post without any body", a, {.method = 1}, {}, "", {},
         {OpenDirect(), Connect("h.cn", 80), OpenRequest("POST", "/p", kPlainFlags),
          Send(DefaultHeaders(a), "null", 0)},
         DefaultHeaders(a), {}},
        {"body bytes win over body text", a, {.method = 1, .bodyText = "text"}, {}, "", {0x00, 0x01},
         {OpenDirect(), Connect("h.cn", 80), OpenRequest("POST", "/p", kPlainFlags),
          Send(DefaultHeaders(a), "\"\\x00\\x01\"", 2)},
         DefaultHeaders(a), {0x00, 0x01}},
        {"user agent line alone", a, {}, {}, "User-Agent: Tool/1.0", {},
         {OpenDirect("\"Tool/1.0\""), Connect("h.cn", 80), OpenRequest("GET", "/p", kPlainFlags),
          Send("User-Agent: Tool/1.0\r\nReferer: " + a + kDefaultTail, "\"\"", 0)},
         "User-Agent: Tool/1.0\r\nReferer: " + a + kDefaultTail, {}},
        {"lower-case names: agent found, others appended", a, {}, {},
         lowerCaseNames, {},
         {OpenDirect("\"low\""), Connect("h.cn", 80), OpenRequest("GET", "/p", kPlainFlags),
          Send(lowerCaseNames + "\r\nReferer: " + a + kDefaultTail, "\"\"", 0)},
         lowerCaseNames + "\r\nReferer: " + a + kDefaultTail, {}},
        {"user agent last line: the whole text's value", a, {}, {},
         "Referer: r\r\nAccept: a\r\nAccept-Language: l\r\nContent-Type: c\r\nUser-Agent: Last", {},
         {OpenDirect(Quoted("r\r\nAccept: a\r\nAccept-Language: l\r\nContent-Type: c\r\nUser-Agent: Last")),
          Connect("h.cn", 80), OpenRequest("GET", "/p", kPlainFlags),
          Send("Referer: r\r\nAccept: a\r\nAccept-Language: l\r\nContent-Type: c\r\nUser-Agent: Last", "\"\"", 0)},
         "Referer: r\r\nAccept: a\r\nAccept-Language: l\r\nContent-Type: c\r\nUser-Agent: Last", {}},
        {"blank user agent is a null agent", a, {}, {}, "User-Agent: ", {},
         {OpenDirect("null"), Connect("h.cn", 80), OpenRequest("GET", "/p", kPlainFlags),
          Send("User-Agent: \r\nReferer: " + a + kDefaultTail, "\"\"", 0)},
         "User-Agent: \r\nReferer: " + a + kDefaultTail, {}},
        {"referer present", a, {}, {}, "Referer: http://r/", {},
         {OpenDirect(), Connect("h.cn", 80), OpenRequest("GET", "/p", kPlainFlags),
          Send("Referer: http://r/" + kDefaultTail, "\"\"", 0)},
         "Referer: http://r/" + kDefaultTail, {}},
        {"cookies supplied", a, {}, Text("a=1; b=2"), "", {},
         {OpenDirect(), Connect("h.cn", 80), OpenRequest("GET", "/p", cookieFlags),
          Send(DefaultHeaders(a) + "\r\nCookie: a=1; b=2", "\"\"", 0)},
         DefaultHeaders(a) + "\r\nCookie: a=1; b=2", {}},
        {"cookies supplied empty", a, {}, Text(), "", {},
         {OpenDirect(), Connect("h.cn", 80), OpenRequest("GET", "/p", cookieFlags),
          Send(DefaultHeaders(a), "\"\"", 0)},
         DefaultHeaders(a), {}},
        {"no auto redirect", a, {.noAutoRedirect = true}, {}, "", {},
         {OpenDirect(), Connect("h.cn", 80),
          OpenRequest("GET", "/p", "RELOAD|NEED_FILE|NO_AUTO_REDIRECT|IGNORE_REDIRECT_TO_HTTPS"),
          Send(DefaultHeaders(a), "\"\"", 0)},
         DefaultHeaders(a), {}},
        {"proxy", a, {.proxy = Text("127.0.0.1:3128")}, {}, "", {},
         {"Open(agent=" + kAgent + ", access=3, proxy=\"http=127.0.0.1:3128\", bypass=\"\", flags=0x0) -> internet#1",
          Connect("h.cn", 80), OpenRequest("GET", "/p", kPlainFlags), Send(DefaultHeaders(a), "\"\"", 0)},
         DefaultHeaders(a), {}},
        {"proxy supplied empty", a, {.proxy = Text()}, {}, "", {},
         {"Open(agent=" + kAgent + ", access=3, proxy=\"http=\", bypass=\"\", flags=0x0) -> internet#1",
          Connect("h.cn", 80), OpenRequest("GET", "/p", kPlainFlags), Send(DefaultHeaders(a), "\"\"", 0)},
         DefaultHeaders(a), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CallLog caseLog;
        FakeInternet caseInternet{caseLog};
        FakeAutomation caseAutomation{caseLog};
        FetchOptions options = c.options;
        std::optional<Text> cookies = c.cookies;
        Text requestHeaders = c.requestHeaders;
        Bytes bodyBytes = c.bodyBytes;
        options.cookies = cookies ? &*cookies : nullptr;
        options.requestHeaders = &requestHeaders;
        options.bodyBytes = &bodyBytes;

        static_cast<void>(FetchPage({caseInternet, caseAutomation}, c.address, options));

        EXPECT_EQ(caseLog.Text(), Lines(Join({c.expectedRequest, {Read(0), kQuery}, kCloseAll})));
        EXPECT_EQ(requestHeaders, c.headersAfter);
        EXPECT_EQ(bodyBytes, c.bodyBytesAfter);
    }
}

TEST_F(FetchPageTest, ResponseHeaderLinesGiveRedirectAndCookies) {
    const Text status = "HTTP/1.1 302 Found\r\n";
    const Text tooLong = TextConcat(status, "X: ", TextBlank(4973), "\r\n\r\n");  // 5000 bytes: no room for the NUL
    const Text justFits = TextConcat(status, "X: ", TextBlank(4972), "\r\n\r\n");  // 4999 bytes and the NUL
    struct Case {
        const char* name;
        Text headerLines;  // after the status line, before the closing "\r\n"
        Text redirectOnEntry;
        Text redirect;
        Text received;
    };
    const std::vector<Case> cases = {
        {"two set-cookie lines", "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2; HttpOnly\r\nLocation: /n\r\n", "", "/n",
         "a=1; b=2"},
        {"no set-cookie", "Location: http://x.cn/a?b=c:d \r\n", "", "http://x.cn/a?b=c:d", ""},
        {"set-cookie without ;", "Set-Cookie: a=1\r\nLocation: /n\r\n", "", "/n", ""},
        {"set-cookie2 first", "Set-Cookie2: x=1; v\r\nSet-Cookie: a=1; p\r\nSet-Cookie: b=2; p\r\nLocation: /n\r\n", "",
         "/n", "; a=1; b=2"},
        {"set-cookie2 between", "Set-Cookie: a=1; p\r\nSet-Cookie2: x=1; v\r\nSet-Cookie: b=2; p\r\nLocation: /n\r\n",
         "", "/n", "a=1; ; b=2"},
        {"set-cookie2 last", "Set-Cookie: a=1; p\r\nSet-Cookie2: x=1; v\r\nLocation: /n\r\n", "", "/n", "a=1; "},
        {"content-location matches too, the last wins", "Location: /a\r\nContent-Location: /b\r\n", "", "/b", ""},
        {"location written over a value on entry", "Location: /a\r\n", "old", "/a", ""},
        {"no location: value on entry kept", "Server: s\r\n", "old", "old", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeInternet caseInternet{log};
        caseInternet.rawHeaders = TextConcat(status, c.headerLines, "\r\n");
        Text redirect = c.redirectOnEntry;
        Text received = "stale";
        Text responseHeaders;
        static_cast<void>(FetchPage({caseInternet, automation}, "http://h.cn/",
                                    {.receivedCookies = &received, .redirectAddress = &redirect,
                                     .responseHeaders = &responseHeaders}));
        EXPECT_EQ(responseHeaders, caseInternet.rawHeaders);
        EXPECT_EQ(redirect, c.redirect);
        EXPECT_EQ(received, c.received);
    }

    struct Fallback {
        const char* name;
        Text rawHeaders;
        Text responseHeaders;
    };
    const std::vector<Fallback> fallbacks = {
        {"no location: the whole block", "HTTP/1.1 200 OK\r\nServer: s\r\n\r\n",
         "HTTP/1.1 200 OK\r\nServer: s\r\n\r\n"},
        {"block that just fits", justFits, justFits},
        {"block too long: 5000 spaces", tooLong, TextBlank(5000)},
    };
    for (const Fallback& c : fallbacks) {
        SCOPED_TRACE(c.name);
        FakeInternet caseInternet{log};
        caseInternet.rawHeaders = c.rawHeaders;
        caseInternet.bodyPieces = {"body"};
        Text redirect;
        Text received = "stale";
        Text responseHeaders;
        EXPECT_EQ(FetchPage({caseInternet, automation}, "http://h.cn/",
                            {.receivedCookies = &received, .redirectAddress = &redirect,
                             .responseHeaders = &responseHeaders}),
                  "body");
        EXPECT_EQ(responseHeaders, c.responseHeaders);
        EXPECT_EQ(redirect, c.responseHeaders);
        EXPECT_EQ(received, "");
    }
}

TEST_F(FetchPageTest, ReceivedCookiesAreMergedOnlyIntoSuppliedCookies) {
    struct Case {
        const char* name;
        std::optional<Text> cookies;
        Text setCookieLines;
        Text cookiesAfter;
        Text receivedAfter;
    };
    const std::vector<Case> cases = {
        {"merged", Text("a=1; c=3"), "Set-Cookie: a=9; path=/\r\n", "a=9; c=3", "a=9"},
        {"supplied empty still merges", Text(), "Set-Cookie: a=1; p\r\nSet-Cookie: b=2; p\r\n", "a=1; b=2", "a=1;b=2"},
        {"deleted", Text("a=1; b=2"), "Set-Cookie: a=deleted; p\r\n", "b=2", "a=deleted"},
        {"not supplied: no merge", std::nullopt, "Set-Cookie: a=1; p\r\nSet-Cookie: b=2; p\r\n", "", "a=1; b=2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeInternet caseInternet{log};
        caseInternet.rawHeaders = TextConcat("HTTP/1.1 200 OK\r\n", c.setCookieLines, "\r\n");
        std::optional<Text> cookies = c.cookies;
        Text received;
        static_cast<void>(FetchPage({caseInternet, automation}, "http://h.cn/",
                                    {.cookies = cookies ? &*cookies : nullptr, .receivedCookies = &received}));
        EXPECT_EQ(cookies.value_or(""), c.cookiesAfter);
        EXPECT_EQ(received, c.receivedAfter);
    }
}

TEST_F(FetchPageTest, Utf8PagesGoThroughTheCharsetStream) {
    internet.bodyPieces = {"ok"};
    internet.rawHeaders = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\n\r\n";

    EXPECT_EQ(Fetch("http://h.cn/"), "ok");

    EXPECT_EQ(log.Text(),
              Lines(Join({{OpenDirect(), Connect("h.cn", 80), OpenRequest("GET", "/", kPlainFlags),
                           Send(DefaultHeaders("http://h.cn/"), "\"\"", 0), Read(2), Read(0), kQuery},
                          kCloseAll,
                          {"CoInitialize", "CreateObject(\"Adodb.Stream\") -> stream", "stream.Type = 1",
                           "stream.Open()", "stream.Write(\"ok\")", "stream.Position = 0", "stream.Type = 2",
                           "stream.Charset = \"UTF-8\"", "stream.ReadText() -> \"ok\"", "stream.Close()",
                           "stream.Open()", "stream.Charset = \"GBK\"", "stream.WriteText(\"ok\")",
                           "stream.Position = 0", "stream.Type = 1", "stream.Read() -> \"ok\"", "stream released",
                           "CoUninitialize"}})));
}

TEST_F(FetchPageTest, Utf8IsDecidedByTheBodyStartOrTheHeaders) {
    const Text plainHeaders = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
    struct Case {
        const char* name;
        std::vector<std::string> pieces;
        Text rawHeaders;
        bool converted;
    };
    const std::vector<Case> cases = {
        {"body position 1", {"utf-8"}, plainHeaders, true},
        {"body position 499", {TextBlank(498) + "utf-8"}, plainHeaders, true},
        {"body position 499 across two reads", {TextBlank(498) + "ut", "f-8"}, plainHeaders, true},
        {"body position 500", {TextBlank(499) + "utf-8"}, plainHeaders, false},
        {"body position 500, headers in upper case",
         {TextBlank(499) + "utf-8"},
         "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\n\r\n",
         true},
        {"upper case in the body only", {"UTF-8"}, plainHeaders, false},
        {"far into a long body", {TextBlank(3000) + "utf-8"}, plainHeaders, false},
        {"headers did not fit", {"x"}, TextConcat(plainHeaders, TextBlank(5000), "utf-8"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CallLog caseLog;
        FakeInternet caseInternet{caseLog};
        FakeAutomation caseAutomation{caseLog};
        caseAutomation.failCreate = true;  // a conversion shows as an empty page
        caseInternet.bodyPieces = c.pieces;
        caseInternet.rawHeaders = c.rawHeaders;
        const Text page = FetchPage({caseInternet, caseAutomation}, "http://h.cn/");
        EXPECT_EQ(page.empty(), c.converted);
        EXPECT_EQ(caseLog.Text().find("CoInitialize") != std::string::npos, c.converted);
    }
}

TEST_F(FetchPageTest, BodyIsReadWholeAndEndsAtItsFirstNul) {
    struct Case {
        const char* name;
        std::vector<std::string> pieces;
        Text page;
        std::vector<std::string> reads;
    };
    const Text long1500(1500, 'a');
    // The reads of one piece of n bytes, then the end.
    auto readsOf = [](std::size_t n) {
        std::vector<std::string> reads(n / 1024, Read(1024));
        if (n % 1024 != 0) reads.push_back(Read(static_cast<int>(n % 1024)));
        reads.push_back(Read(0));
        return reads;
    };
    const std::string farNul = std::string(150000, 'a') + '\0' + std::string(30000, 'b') + '\0' + "c";
    std::string large;  // past the size where the page grows fourfold, with no two blocks alike
    for (int block = 0; large.size() < 2'600'000; ++block) large += std::to_string(block) + " <p>text</p>\r\n";
    const std::vector<Case> cases = {
        {"empty body", {}, "", {Read(0)}},
        {"nul inside", {std::string("ab\0cd", 5)}, "ab", {Read(5), Read(0)}},
        {"nul at the start", {std::string("\0ab", 3)}, "", {Read(3), Read(0)}},
        {"pieces longer than a read", {long1500, "bc"}, long1500 + "bc", {Read(1024), Read(476), Read(2), Read(0)}},
        {"first nul far in, past many reads", {farNul}, std::string(150000, 'a'), readsOf(farNul.size())},
        {"a page of megabytes", {large}, large, readsOf(large.size())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CallLog caseLog;
        FakeInternet caseInternet{caseLog};
        caseInternet.bodyPieces = c.pieces;
        EXPECT_EQ(FetchPage({caseInternet, automation}, "http://h.cn/"), c.page);
        EXPECT_EQ(caseLog.Text(), Lines(Join({{OpenDirect(), Connect("h.cn", 80), OpenRequest("GET", "/", kPlainFlags),
                                               Send(DefaultHeaders("http://h.cn/"), "\"\"", 0)},
                                              c.reads,
                                              {kQuery},
                                              kCloseAll})));
    }
}

// Every parameter starts with a value of its own, so untouched ones show.
struct Parameters {
    Text cookies = "k=1";
    Text receivedCookies = "keep";
    Text requestHeaders = "X-Keep: 1";
    Text redirectAddress;
    Bytes bodyBytes;
    Text responseHeaders = "keep";

    FetchOptions Options() {
        return {.method = 1,
                .bodyText = "t=1",
                .cookies = &cookies,
                .receivedCookies = &receivedCookies,
                .requestHeaders = &requestHeaders,
                .redirectAddress = &redirectAddress,
                .bodyBytes = &bodyBytes,
                .responseHeaders = &responseHeaders};
    }
};

TEST_F(FetchPageTest, NoRequestHandleMeansEmptyResultAndUntouchedParameters) {
    const std::string cookieFlags = "RELOAD|NEED_FILE|NO_COOKIES|IGNORE_REDIRECT_TO_HTTPS";
    struct Case {
        const char* name;
        Text address;
        FakeInternet::Step failAt;
        std::vector<std::string> transcript;
    };
    const std::vector<Case> cases = {
        {"open fails", "http://h.cn/", FakeInternet::Step::Open,
         {"Open(agent=" + kAgent + ", access=1, proxy=null, bypass=null, flags=0x0) -> null"}},
        {"connect fails", "http://h.cn/", FakeInternet::Step::Connect,
         {OpenDirect(),
          "Connect(internet#1, server=\"h.cn\", port=80, user=null, password=null, service=3, flags=0x0, "
          "context=0) -> null",
          "CloseHandle(internet#1)"}},
        {"open request fails", "http://h.cn/", FakeInternet::Step::OpenRequest,
         {OpenDirect(), Connect("h.cn", 80),
          "OpenRequest(connection#2, verb=\"POST\", object=\"/\", version=\"HTTP/1.1\", referrer=null, accept=null, "
          "flags=" + cookieFlags + ", context=0) -> null",
          "CloseHandle(connection#2)", "CloseHandle(internet#1)"}},
        {"port above 65535", "http://h.cn:70000/", FakeInternet::Step::None, {OpenDirect(), "CloseHandle(internet#1)"}},
        {"port 65536 would wrap to 0", "h.cn:65536", FakeInternet::Step::None,
         {OpenDirect(), "CloseHandle(internet#1)"}},
        {"port 0", "http://h.cn:0/", FakeInternet::Step::None, {OpenDirect(), "CloseHandle(internet#1)"}},
        {"negative port", "h.cn:-1/", FakeInternet::Step::None, {OpenDirect(), "CloseHandle(internet#1)"}},
        {"unknown scheme reads as port 0", "ftp://h.cn/", FakeInternet::Step::None,
         {OpenDirect(), "CloseHandle(internet#1)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CallLog caseLog;
        FakeInternet caseInternet{caseLog};
        caseInternet.failAt = c.failAt;
        caseInternet.bodyPieces = {"page"};
        Parameters parameters;

        EXPECT_EQ(FetchPage({caseInternet, automation}, c.address, parameters.Options()), "");

        EXPECT_EQ(caseLog.Text(), Lines(c.transcript));
        const Parameters untouched;
        EXPECT_EQ(parameters.cookies, untouched.cookies);
        EXPECT_EQ(parameters.receivedCookies, untouched.receivedCookies);
        EXPECT_EQ(parameters.requestHeaders, untouched.requestHeaders);
        EXPECT_EQ(parameters.redirectAddress, untouched.redirectAddress);
        EXPECT_EQ(parameters.bodyBytes, untouched.bodyBytes);
        EXPECT_EQ(parameters.responseHeaders, untouched.responseHeaders);
    }
}

TEST_F(FetchPageTest, PortsAtTheEdgesOfTheRangeConnect) {
    for (const int port : {1, 65535}) {
        SCOPED_TRACE(port);
        CallLog caseLog;
        FakeInternet caseInternet{caseLog};
        static_cast<void>(FetchPage({caseInternet, automation}, "h.cn:" + std::to_string(port)));
        ASSERT_GE(caseLog.lines.size(), 2U);
        EXPECT_EQ(caseLog.lines[1], Connect("h.cn", port));
    }
}

TEST_F(FetchPageTest, FailuresAfterTheRequestGoOnWithWhatArrived) {
    const Text address = "http://h.cn/";
    const Text sent = TextConcat("X-Keep: 1\r\nReferer: ", address,
                                 "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: "
                                 "application/x-www-form-urlencoded\r\nCookie: k=1");
    const std::vector<std::string> request = {
        OpenDirect(), Connect("h.cn", 80),
        OpenRequest("POST", "/", "RELOAD|NEED_FILE|NO_COOKIES|IGNORE_REDIRECT_TO_HTTPS")};
    struct Case {
        const char* name;
        FakeInternet::Step failAt;
        std::vector<std::string> transcript;
        Text page;
        Text responseHeaders;
        Text cookiesAfter;
    };
    const Text headers = "HTTP/1.1 200 OK\r\nSet-Cookie: n=2; p\r\n\r\n";
    const std::vector<Case> cases = {
        {"send fails: nothing to read, no headers", FakeInternet::Step::Send,
         Join({request, {Send(sent, "\"t=1\"", 3, false), Read(0), kQueryFailed}, kCloseAll}), "", TextBlank(5000),
         "k=1"},
        {"read fails: the body so far stays", FakeInternet::Step::Read,
         Join({request, {Send(sent, "\"t=1\"", 3), Read(4), "ReadFile(request#3, 1024) -> false", kQuery}, kCloseAll}),
         "page", headers, "n=2; k=1"},
        {"query fails: 5000 spaces", FakeInternet::Step::Query,
         Join({request, {Send(sent, "\"t=1\"", 3), Read(4), Read(0), kQueryFailed}, kCloseAll}), "page",
         TextBlank(5000), "k=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CallLog caseLog;
        FakeInternet caseInternet{caseLog};
        caseInternet.failAt = c.failAt;
        caseInternet.bodyPieces = {"page"};
        caseInternet.rawHeaders = headers;
        Parameters parameters;

        EXPECT_EQ(FetchPage({caseInternet, automation}, address, parameters.Options()), c.page);

        EXPECT_EQ(caseLog.Text(), Lines(c.transcript));
        EXPECT_EQ(parameters.requestHeaders, sent);
        EXPECT_EQ(parameters.bodyBytes, TextToBytes("t=1"));
        EXPECT_EQ(parameters.responseHeaders, c.responseHeaders);
        EXPECT_EQ(parameters.redirectAddress, c.responseHeaders);
        EXPECT_EQ(parameters.cookies, c.cookiesAfter);
    }
}

TEST_F(FetchPageTest, FailedConversionEmptiesThePage) {
    internet.bodyPieces = {"<meta charset=utf-8>page"};
    automation.failMember = "Read";
    EXPECT_EQ(Fetch("http://h.cn/"), "");
    EXPECT_NE(log.Text().find("stream.Read() -> failed\nstream released\nCoUninitialize\n"), std::string::npos);
}

}  // namespace
}  // namespace veltrano::web
