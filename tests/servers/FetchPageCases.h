// The cases FetchPage is held to against the scripted loopback server, run by
// the Linux test (tests/linux/FetchPageTest.cpp) and the Wine test
// (tests/windows/FetchPageOnWineTest.cpp) alike, so both platforms give the
// same results. Where Wine's WinINet answers otherwise, the case names the
// difference in a field of its own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "servers/client/ServerClient.h"

namespace veltrano::testing {

inline std::string Page(std::string_view headers, std::string_view body) {
    return "HTTP/1.1 200 OK\r\n" + std::string(headers) + "Content-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + std::string(body);
}

// The request FetchPage sends by default, as the server's transcript shows it.
inline std::string DefaultRequestTranscript(std::string_view target, int hostPort, std::string_view referer,
                                            std::string_view extraHeaderLines = {}) {
    return "GET " + std::string(target) + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(hostPort) +
           "\r\n"
           "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; ZK9QW; .NET CLR 2.0.50727; "
           ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)\r\n"
           "Referer: " +
           std::string(referer) +
           "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
           "Content-Type: application/x-www-form-urlencoded\r\n" +
           std::string(extraHeaderLines) + "\r\n\n----\n";
}

// The page as served at "/" with these headers and body, and as returned.
struct CharsetCase {
    const char* name;
    std::string headers;
    std::string body;
    std::string expected;
};

inline std::vector<CharsetCase> CharsetCases() {
    using namespace std::string_literals;
    const std::string chinese = "\xE4\xB8\xAD";  // GBK D6 D0
    return {
        {"utf-8 at body position 499", "", std::string(498, ' ') + "utf-8" + chinese,
         std::string(498, ' ') + "utf-8\xD6\xD0"},
        {"utf-8 at body position 500 and not in the headers", "", std::string(499, ' ') + "utf-8" + chinese,
         std::string(499, ' ') + "utf-8" + chinese},
        {"utf-8 at 500 but UTF-8 in the header block", "Content-Type: text/html; charset=UTF-8\r\n",
         std::string(499, ' ') + "utf-8" + chinese, std::string(499, ' ') + "utf-8\xD6\xD0"},
        {"upper-case UTF-8 in the body only", "", "UTF-8" + chinese, "UTF-8" + chinese},
        {"NUL in the body ends the page", "", "before\0after"s, "before"},
        {"invalid UTF-8 that claims utf-8", "Content-Type: text/html; charset=utf-8\r\n",
         "a\xFF\xFE"
         "b",
         "a??b"},
        {"empty body", "", "", ""},
    };
}

// The response at "/h" ("/landing" answers a redirect) and the raw header
// block FetchPage hands back.
struct HeaderBlockCase {
    const char* name;
    std::string response;
    std::string expectedBlock;
};

inline std::vector<HeaderBlockCase> HeaderBlockCases() {
    return {
        {"Name: value lines in the order received",
         "HTTP/1.1 200 Fine\r\nContent-Type: text/html\r\nSet-Cookie: a=1\r\nContent-Length: 2\r\n\r\nok",
         "HTTP/1.1 200 Fine\r\nContent-Type: text/html\r\nSet-Cookie: a=1\r\nContent-Length: 2\r\n\r\n"},
        {"rebuilt as Name: value, the value trimmed",
         "HTTP/1.1 200 OK\r\nContent-Type:text/html\r\nX-Spaced:   two  words  \r\nContent-Length: 2\r\n\r\nok",
         "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nX-Spaced: two  words\r\nContent-Length: 2\r\n\r\n"},
        {"100-continue dropped", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok",
         "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n"},
        {"302 followed: the landing page's block",
         "HTTP/1.1 302 Found\r\nLocation: /landing\r\nContent-Length: 0\r\n\r\n",
         "HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\n"},
    };
}

// The object path as pasted after the server's origin, and the request line
// that must arrive.
struct ObjectPathCase {
    const char* name;
    std::string path;
    std::string requestLine;
};

inline std::vector<ObjectPathCase> ObjectPathCases() {
    return {
        {"spaces become %20", "/a b/c?x=1 2", "GET /a%20b/c?x=1%202 HTTP/1.1"},
        {"a pasted line's CR LF is dropped", "/p\r\n", "GET /p HTTP/1.1"},
        {"GBK bytes and quotes pass unchanged", "/\xD6\xD0?x=\"1\"", "GET /\xD6\xD0?x=\"1\" HTTP/1.1"},
    };
}

// Routes the bad-input cases below reach on the server.
inline std::vector<Route> BadInputRoutes() {
    return {{"/never", {Stall()}},
            {"/stall", {Send("HTTP/1.1 200 OK\r\nContent-Length: 99\r\n\r\nvar videoUrl"), Stall()}},
            {"/headers", {Send("HTTP/1.1 200 OK\r\n"), Repeat("X-Fill: " + std::string(90, 'x') + "\r\n", 100000),
                          Send("\r\nbody")}},
            {"/some-headers", {Send("HTTP/1.1 200 OK\r\n"), Repeat("X-Fill: " + std::string(90, 'x') + "\r\n", 200),
                               Send("Content-Length: 4\r\n\r\nbody")}}};
}

// An address that must give an empty page, within the time-outs.
struct BadAddressCase {
    const char* name;
    std::string address;
    // Refused before anything is sent, so no header can be injected.
    bool nothingSent = false;
    // Why Wine's WinINet is not held to this case; null where it is.
    const char* notOnWine = nullptr;
};

inline std::vector<BadAddressCase> BadAddressCases(const std::string& origin, int port, int closedPort) {
    return {
        {"empty address", ""},
        {"a bare word", "word"},
        {"spaces in the host", "http://127.0.0.1 evil/"},
        {"CR LF in the address", origin + "/a\r\nX-Injected: 1", true},
        {"control byte in the address", origin + "/a\x01", true},
        {"unknown scheme", "ftp://127.0.0.1:" + std::to_string(port) + "/"},
        {"host that does not resolve", "http://no-such-host.invalid/"},
        {"closed port", "http://127.0.0.1:" + std::to_string(closedPort) + "/"},
        {"server that never answers", origin + "/never", false,
         "the Windows time-out for a silent server is 30 s; a test of its own waits for it"},
        {"server that sends 10 MB of headers", origin + "/headers", false,
         "Wine's WinINet takes minutes over 100000 header lines"},
    };
}

}  // namespace veltrano::testing
