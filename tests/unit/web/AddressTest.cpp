#include "web/Address.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace veltrano::web {
namespace {

TEST(Address, SplitsIntoHostPortAndPath) {
    struct Case {
        const char* name;
        Text address;
        Text host;         // both flags at their defaults
        Text hostAndPort;  // keepPort
        std::int32_t port;
        Text path;
    };
    const std::vector<Case> cases = {
        {"plain http", "http://www.Example.com/A/b?Q=1#F", "www.example.com", "www.example.com", 80, "/A/b?Q=1#F"},
        {"upper-case https", "HTTPS://Www.Example.COM/Video", "www.example.com", "www.example.com", 443, "/Video"},
        {"no scheme", "Example.com/p/q", "example.com", "example.com", 80, "/p/q"},
        {"no scheme, explicit port", "example.com:8080/p", "example.com", "example.com:8080", 8080, "/p"},
        {"https with explicit port", "https://h.cn:8443/x", "h.cn", "h.cn:8443", 8443, "/x"},
        {"ends after the host", "http://h.cn", "h.cn", "h.cn", 80, "/"},
        {"empty", "", "", "", 80, "/"},
        {"port text not a number", "http://k:abc/x", "k", "k:abc", 0, "/x"},
        {"port with trailing junk", "http://k:81x/", "k", "k:81x", 81, "/"},
        {"query straight after the host", "http://h.cn?u=a/b", "h.cn?u=a", "h.cn?u=a", 80, "/b"},
        {"query without a slash", "http://h.cn?u=1", "h.cn?u=1", "h.cn?u=1", 80, "/"},
        {"user information", "http://user:pw@host.cn:81/x", "user", "user:pw@host.cn:81", 81, "/x"},
        {"first five bytes https without ://", "httpsfoo", "httpsfoo", "httpsfoo", 443, "/"},
        {"host found earlier, inside the scheme", "http://h/x", "h", "h", 80, "//h/x"},
        {"http:// later in the text", "go?u=HTTP://y.cn/z", "y.cn", "y.cn", 80, "/z"},
        {"unknown scheme", "ftp://h.cn/x", "ftp", "ftp:", 0, "//h.cn/x"},
        {"port beyond 16 bits", "h:70000", "h", "h:70000", 70000, "/"},
        {"negative port", "h:-1/", "h", "h:-1", -1, "/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AddressHost(c.address), c.host);
        EXPECT_EQ(AddressHost(c.address, false, true), c.hostAndPort);
        EXPECT_EQ(AddressPort(c.address), c.port);
        EXPECT_EQ(AddressPath(c.address), c.path);
    }
}

TEST(Address, BaseDomainKeepsTheLastTwoLabelsBeforeThePortIsCut) {
    struct Case {
        const char* name;
        Text address;
        bool keepPort;
        Text expected;
    };
    const std::vector<Case> cases = {
        {"three labels", "http://a.b.Example.com/x", false, "example.com"},
        {"numeric address", "http://10.1.2.3/", false, "2.3"},
        {"no dot", "http://localhost/", false, "localhost"},
        {"port removed from the shortened host", "http://a.b.c:81/", false, "b.c"},
        {"port stays on the last label", "http://a.b.c:81/", true, "b.c:81"},
        {"empty", "", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AddressHost(c.address, true, c.keepPort), c.expected);
    }
}

TEST(Address, HeaderValueIsTheTrimmedTextAfterTheFirstColon) {
    struct Case {
        const char* name;
        Text line;
        Text expected;
    };
    const std::vector<Case> cases = {
        {"plain", "Location: /next", "/next"},
        {"later colons stay", "Location:  http://a.cn:81/b  ", "http://a.cn:81/b"},
        {"only spaces", "Location:    ", ""},
        {"no colon", "Location /next", ""},
        {"full-width spaces trimmed, tab kept", "A:\xa1\xa1v\t\xa1\xa1", "v\t"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HeaderValue(c.line), c.expected);
    }
}

}  // namespace
}  // namespace veltrano::web
