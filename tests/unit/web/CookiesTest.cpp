#include "web/Cookies.h"

#include <gtest/gtest.h>

#include <vector>

namespace veltrano::web {
namespace {

TEST(MergeCookies, PutsReceivedPairsFirstAndRewritesBothTexts) {
    struct Case {
        const char* name;
        Text cookies, received;
        Text merged, receivedAfter;
    };
    const std::vector<Case> cases = {
        {"both empty", "", "", "", ""},
        {"received only", "", "a=1; b=2", "a=1; b=2", "a=1;b=2"},
        {"received replaces old", "a=1; c=3", "a=9", "a=9; c=3", "a=9"},
        {"deleted keeps the old pair out", "a=1; b=2", "a=deleted", "b=2", "a=deleted"},
        {"first of several old pairs", "x=1; x=2", "", "x=1", ""},
        {"two received with one name stay", "", "a=1; a=2", "a=1; a=2", "a=1;a=2"},
        {"byte-for-byte repeat dropped", "", "a=1; a=1", "a=1", "a=1;a=1"},
        {"names are case-sensitive", "A=1", "a=2", "a=2; A=1", "a=2"},
        {"trailing separator", "a=1;", "", "a=1", ""},
        {"one empty pair stays", "a=1;;b=2", "", "a=1; ; b=2", ""},
        {"several empty pairs give one", "a=1;;;b=2", "", "a=1; ; b=2", ""},
        {"spaces inside values removed", "k=hello world", "", "k=helloworld", ""},
        {"full-width spaces removed", "k=a\xa1\xa1" "b", "", "k=ab", ""},
        {"=Deleted and undeleted stay", "a=Deleted; b=undeleted", "", "a=Deleted; b=undeleted", ""},
        {"=deleted alone dropped", "=deleted; c=1", "", "c=1", ""},
        {"value holding =", "t=a=b", "t=c=d", "t=c=d", "t=c=d"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Text cookies = c.cookies;
        Text received = c.received;
        const Text result = MergeCookies(cookies, received);
        EXPECT_EQ(result, c.merged);
        EXPECT_EQ(cookies, c.merged);
        EXPECT_EQ(received, c.receivedAfter);
    }
}

TEST(Cookies, NameIsTheTrimmedTextBeforeTheFirstEquals) {
    EXPECT_EQ(CookieName("abc"), "abc");
    EXPECT_EQ(CookieName("a=b=c"), "a");
    EXPECT_EQ(CookieName("=x"), "");
    EXPECT_EQ(CookieName(" a =1"), "a");
    EXPECT_TRUE(HasCookieName({"x=1", "a=2"}, "a"));
    EXPECT_FALSE(HasCookieName({"x=1", "A=2"}, "a"));
    EXPECT_FALSE(HasCookieName({}, ""));
}

TEST(Cookies, MembersAreComparedByteForByte) {
    EXPECT_EQ(MemberIndex({}, "a"), -1);
    EXPECT_EQ(MemberIndex({"a", "b", "b"}, "b"), 2);
    EXPECT_EQ(MemberIndex({"a"}, "A"), -1);
    EXPECT_EQ(RemoveDuplicateMembers("", "; "), "");
    EXPECT_EQ(RemoveDuplicateMembers("a; b; a; ", "; "), "a; b");
    EXPECT_EQ(RemoveDuplicateMembers("; a; ", "; "), "; a");
}

}  // namespace
}  // namespace veltrano::web
