#include "text/TextBetween.h"

#include <gtest/gtest.h>

#include <vector>

namespace veltrano {
namespace {

TEST(TextBetween, TakesTheFirstLeftAndTheNextRightMarker) {
    struct Case {
        const char* name;
        Text text, left, right;
        int start;
        bool caseSensitive;
        Text expected;
    };
    const Text quoteLeft = TextConcat("v=", kQuotePlaceholder);
    const std::vector<Case> cases = {
        {"between", "a[x]b", "[", "]", 0, false, "x"},
        {"adjacent markers", "a[]b", "[", "]", 0, false, ""},
        {"right only before left", "]a[b", "[", "]", 0, false, ""},
        {"no right marker", "a[b", "[", "]", 0, false, ""},
        {"left marker at the end", "a[", "[", "]", 0, false, ""},
        {"first pair", "[a][b]", "[", "]", 0, false, "a"},
        {"folded by default", "ID=7;", "id=", ";", 0, false, "7"},
        {"exact when asked", "ID=7;", "id=", ";", 0, true, ""},
        {"placeholder stands for a quote", "v=\"x\"", quoteLeft, Text(kQuotePlaceholder), 0, false, "x"},
        {"placeholder does not match itself", TextConcat("v=", kQuotePlaceholder, "x\""), quoteLeft, "\"", 0, false,
         ""},
        {"empty left marker", "ab]c", "", "]", 0, false, "ab"},
        {"empty left marker, text starts with right", "]c", "", "]", 0, false, ""},
        {"empty left marker, empty text", "", "", "]", 0, false, ""},
        {"empty right marker", "a[b", "[", "", 0, false, ""},
        {"same marker both sides", "a/b/c", "/", "/", 0, false, "b"},
        {"start beyond the text", "a[x]b", "[", "]", 9, false, ""},
        {"start skips the first pair", "[a][b]", "[", "]", 2, false, "b"},
        {"right marker never overlaps the left", "x==y=", "==", "=", 0, false, "y"},
        {"video markers", "var videoUrl = \"http://v/1.mp4\";\r\n        var defaultImg",
         "var videoUrl = \"", "\";\r\n        var defaultImg", 0, false, "http://v/1.mp4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.start, c.caseSensitive), c.expected);
    }
}

}  // namespace
}  // namespace veltrano
