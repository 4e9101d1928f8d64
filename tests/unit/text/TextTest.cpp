#include "text/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrano {
namespace {

const Text kFullSpace = "\xa1\xa1";

TEST(TextCutting, ClampsCountsAndPositions) {
    EXPECT_EQ(TextLeft("abc", 5), "abc");
    EXPECT_EQ(TextLeft("abc", 0), "");
    EXPECT_EQ(TextLeft("abc", -2), "");
    EXPECT_EQ(TextRight("abc", 2), "bc");
    EXPECT_EQ(TextRight("abc", 9), "abc");
    EXPECT_EQ(TextRight("abc", -1), "");
    EXPECT_EQ(TextMid("abcdef", 4, 10), "def");
    EXPECT_EQ(TextMid("abcdef", 0, 3), "");
    EXPECT_EQ(TextMid("abcdef", 7, 3), "");
    EXPECT_EQ(TextMid("abcdef", 2, 0), "");
    // Byte counts may split a double-byte character.
    EXPECT_EQ(TextLeft("\xb0\xa1z", 1), "\xb0");
    EXPECT_EQ(TextLength("\xb0\xa1z"), 3);
}

struct FindCase {
    const char* name;
    Text text;
    Text sub;
    int start;
    bool ignoreCase;
    int expected;
};

TEST(TextFind, FollowsTheStartAndCharacterRules) {
    const std::vector<FindCase> cases = {
        {"plain", "abcabc", "bc", 0, false, 2},
        {"from 3", "abcabc", "bc", 3, false, 5},
        {"start 0 is whole text", "abcabc", "bc", 0, false, 2},
        {"negative start is whole text", "abcabc", "bc", -7, false, 2},
        {"start beyond the end", "abcabc", "bc", 9, false, -1},
        {"empty sub", "abc", "", 0, false, 1},
        {"empty sub from 3 still gives 1", "abc", "", 3, false, 1},
        {"empty sub in empty text", "", "", 0, false, -1},
        {"empty sub beyond the end", "abc", "", 4, false, -1},
        {"folding on", "Content-Type", "TYPE", 0, true, 9},
        {"folding off", "Content-Type", "TYPE", 0, false, -1},
        {"second byte of a double-byte character", "\xb0\x41\x42", "A", 0, false, -1},
        {"boundaries counted from the start position", "\xb0\x41\x42", "A", 2, false, 2},
        {"folding never maps the bytes above Z", "\xc0", "\xe0", 0, true, -1},
        {"match on a lone lead byte", "ab\xb0", "\xb0", 0, false, 3},
        {"sub longer than the region", "abc", "bcd", 2, false, -1},
        {"match must fit wholly", "abcab", "abc", 2, false, -1},
        {"double-byte stepping finds the next character", "\xb0\xb1\xb1\xb2", "\xb1\xb2", 0, false, 3},
        {"double-byte stepping skips a misaligned match", "\xb0\xb1\xb2\xb3", "\xb1\xb2", 0, false, -1},
        {"beyond 16 bytes", std::string(40, 'x') + "Var VideoUrl = \"", "var videourl = \"", 0, true, 41},
        {"folded non-letters stay", "a@b[c", "@B[", 0, true, 2},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TextFind(c.text, c.sub, c.start, c.ignoreCase), c.expected);
    }
}

TEST(TextFind, MisalignedCandidatesInLongHighByteRunsAreSkipped) {
    // Every odd offset holds a would-be match; only boundaries count.
    Text text;
    for (int i = 0; i < 1000; ++i) text += "\xc1\xc2";
    EXPECT_EQ(TextFind(text, "\xc2\xc1"), -1);
    EXPECT_EQ(TextFind(text, "\xc2\xc1", 2), 2);
    EXPECT_EQ(TextFind(text, "\xc1\xc2\xc1", 0), 1);
}

TEST(TextFind, LongSelfSimilarNeedleStaysCorrect) {
    const Text text = std::string(5000, 'a') + "b";
    const Text sub = std::string(2000, 'a') + "b";
    EXPECT_EQ(TextFind(text, sub), 3001);
    EXPECT_EQ(TextFind(text, std::string(2000, 'A') + "B", 0, true), 3001);
    EXPECT_EQ(TextFind(text, std::string(2000, 'a') + "c"), -1);
}

TEST(TextFindLast, ScansTheWholeText) {
    EXPECT_EQ(TextFindLast("a:b:c", ":"), 4);
    EXPECT_EQ(TextFindLast("aXa", "x", true), 2);
    EXPECT_EQ(TextFindLast("abc", "z"), -1);
    EXPECT_EQ(TextFindLast("abc", ""), 1);
    EXPECT_EQ(TextFindLast("", ""), -1);
    EXPECT_EQ(TextFindLast("\xb0:\xb1", ":"), -1);  // ":" is a partner byte
    EXPECT_EQ(TextFindLast("aaaa", "aa"), 3);
}

TEST(TextSplit, PiecesBetweenSeparators) {
    struct Case {
        const char* name;
        Text text;
        Text separator;
        TextList expected;
    };
    const std::vector<Case> cases = {
        {"trailing separator", "a;b;", ";", {"a", "b"}},
        {"leading and doubled", ";a;;b", ";", {"", "a", "", "b"}},
        {"only a separator", ";", ";", {""}},
        {"empty text", "", ";", {}},
        {"empty separator", "a;b", "", {"a;b"}},
        {"header lines", "x\r\ny\r\n\r\n", "\r\n", {"x", "y", ""}},
        {"separator inside a double-byte character", "\xb0;a;b", ";", {"\xb0;a", "b"}},
        {"lone lead byte stays in the last piece", "a;\xb0", ";", {"a", "\xb0"}},
        {"no exact match without folding", "aXbxc", "x", {"aXb", "c"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TextSplit(c.text, c.separator), c.expected);
    }
}

TEST(TextSpaces, TrimAndRemoveKnowTwoSpaceCharactersOnly) {
    EXPECT_EQ(TextTrim("  " + kFullSpace + "ab " + kFullSpace), "ab");
    EXPECT_EQ(TextTrim("\tab\r\n"), "\tab\r\n");
    EXPECT_EQ(TextTrim("a b"), "a b");
    EXPECT_EQ(TextTrim("   "), "");
    EXPECT_EQ(TextTrim(""), "");
    EXPECT_EQ(TextTrim("ab \xb0"), "ab ");        // lone lead removed, spaces before it stay
    EXPECT_EQ(TextTrim("\xb0\xa1\xa1z"), "\xb0\xa1\xa1z");  // that 0xA1 0xA1 is not on a boundary
    EXPECT_EQ(TextRemoveSpaces("a b" + kFullSpace + "c"), "abc");
    EXPECT_EQ(TextRemoveSpaces("k=hello world"), "k=helloworld");
    EXPECT_EQ(TextRemoveSpaces("a\t\xb0\x20z\xb0"), "a\t\xb0\x20z");  // the pair stays whole; lone lead dropped
}

TEST(TextToLower, FoldsSingleByteCapitalsOnly) {
    EXPECT_EQ(TextToLower("ABC:Ab"), "abc:ab");
    EXPECT_EQ(TextToLower("\xb0\x41Z"), "\xb0\x41z");
    EXPECT_EQ(TextToLower("A\xb0"), "a\xb0");
}

TEST(TextToInteger, ReadsLikeTheRuntimeWithFullWidthFolding) {
    struct Case {
        const char* name;
        Text text;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {"plain", "8080", 8080},
        {"spaces, sign, trailing junk", "  -12x", -12},
        {"plus", "+7", 7},
        {"no digits", "abc", 0},
        {"empty", "", 0},
        {"full-width digits", "\xa3\xb8\xa3\xb0", 80},
        {"full-width space and minus", "\xa1\xa1\xa3\xad\x35", -5},
        {"wraps modulo 2^32", "4294967297", 1},
        {"wraps to negative", "2147483648", INT32_MIN},
        {"tab and vertical space skipped", "\t\v\r\n 9", 9},
        {"sign alone", "-", 0},
        {"full-width tilde is not a digit", "\xa1\xab\x31", 0},
        {"lone lead byte dropped", "12\xb0", 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TextToInteger(c.text), c.expected);
    }
}

TEST(TextReplace, ReplacesLeftToRightWithoutRescanning) {
    EXPECT_EQ(TextReplace("x#ABy#ab", "#AB", "Q", true), "xQy#ab");
    EXPECT_EQ(TextReplace("x#ABy#ab", "#AB", "Q", false), "xQyQ");
    EXPECT_EQ(TextReplace("aaa", "a", "aa", true), "aaaaaa");
    EXPECT_EQ(TextReplace("aaaa", "aa", "", true), "");
    EXPECT_EQ(TextReplace("", "a", "b", true), "");
    EXPECT_EQ(TextReplace("abc", "", "b", true), "abc");
    EXPECT_EQ(TextReplace("\xb0\x61\x61", "a", "X", true), "\xb0\x61X");  // partner byte left alone
    EXPECT_EQ(TextReplace("ab\xb0", "a", "X", true), "Xb");               // one-byte scan drops a lone lead
    EXPECT_EQ(TextReplace("ab\xb0", "ab", "X", true), "X\xb0");           // fewer bytes left than sub: copied
    // Boundaries are counted afresh after a replacement.
    EXPECT_EQ(TextReplace("ab\xb0\x61", "ab\xb0", "", true), "a");
}

TEST(TextCompare, OrdersUnsignedBytes) {
    EXPECT_EQ(TextCompare("", Text()), 0);
    EXPECT_EQ(TextCompare("a", "ab"), -1);
    EXPECT_EQ(TextCompare("\xb0", "a"), 1);
    EXPECT_EQ(TextCompare("b", "a"), 1);
    EXPECT_EQ(TextCompare("same", "same"), 0);
}

TEST(TextAndBytes, ConvertAndCut) {
    EXPECT_EQ(BytesToText(Bytes{0x61, 0x00, 0x62}), "a");
    EXPECT_EQ(BytesToText(Bytes{0x61, 0x62}), "ab");
    EXPECT_EQ(TextToBytes("ab"), (Bytes{0x61, 0x62}));
    EXPECT_TRUE(TextToBytes("").empty());
    const Bytes four{1, 2, 3, 4};
    EXPECT_EQ(BytesLeft(four, 9), four);
    EXPECT_TRUE(BytesLeft(four, -1).empty());
    EXPECT_EQ(BytesLength(four), 4);
    EXPECT_EQ(BytesLength(Bytes{}), 0);
    EXPECT_EQ(BytesBlank(3), (Bytes{0, 0, 0}));
    EXPECT_TRUE(BytesBlank(-3).empty());
    EXPECT_EQ(TextBlank(3), "   ");
    EXPECT_EQ(TextBlank(0), "");
    EXPECT_EQ(BytesConcat(Bytes{1}, Bytes{}, Bytes{2, 0}), (Bytes{1, 2, 0}));
    EXPECT_EQ(TextConcat("a", Text("b"), TextView("c")), "abc");
}

TEST(BytesFind, IgnoresCharactersAndCase) {
    const Bytes bytes{0xb0, 0x41, 0x42};
    EXPECT_EQ(BytesFind(bytes, Bytes{0x41}), 2);
    EXPECT_EQ(BytesFind(bytes, Bytes{}), -1);
    EXPECT_EQ(BytesFind(bytes, Bytes{0x61}), -1);
    EXPECT_EQ(BytesFind(Bytes{1}, Bytes{1, 2}), -1);
    EXPECT_EQ(BytesFind(TextToBytes("xx\0utf-8"), TextToBytes("utf-8")), -1);  // literal ends at its NUL
    Bytes withNul{'x', 0, 'u', 't', 'f', '-', '8'};
    EXPECT_EQ(BytesFind(withNul, TextToBytes("utf-8")), 3);
}

TEST(TextList, GrowsByCopies) {
    TextList list;
    EXPECT_EQ(ListSize(list), 0);
    Text member = "a";
    ListAppend(list, member);
    member = "changed";
    ListAppend(list, "");
    EXPECT_EQ(ListSize(list), 2);
    EXPECT_EQ(ListItem(list, 1), "a");
    EXPECT_EQ(ListItem(list, 2), "");
}

}  // namespace
}  // namespace veltrano
