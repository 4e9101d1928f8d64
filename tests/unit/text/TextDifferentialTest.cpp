// The fast operations against the plain reference on many small random texts
// drawn from an alphabet that provokes every rule: case, lead bytes, spaces.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "reference/ReferenceText.h"
#include "text/TextBetween.h"

namespace veltrano {
namespace {

Text RandomText(std::mt19937& random, std::size_t maxLength) {
    static const unsigned char kAlphabet[] = {'a', 'A', 'b', 'B', ' ', ';', '"', 0xA1, 0xB0, 0xC1, 0x41, 0x61};
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 1);
    Text text;
    for (std::size_t n = length(random); n > 0; --n) text.push_back(static_cast<char>(kAlphabet[pick(random)]));
    return text;
}

TEST(TextDifferential, FastOperationsAgreeWithTheReference) {
    std::mt19937 random(20261211);
    for (int round = 0; round < 20000; ++round) {
        const Text text = RandomText(random, round % 10 == 0 ? 80 : 12);
        const Text sub = RandomText(random, 3);
        const Text other = RandomText(random, 3);
        const int start = static_cast<int>(random() % 16) - 3;
        const bool flag = (random() & 1) != 0;
        SCOPED_TRACE(testing::Message() << "round " << round);
        ASSERT_EQ(TextFind(text, sub, start, flag), reference::Find(text, sub, start, flag));
        ASSERT_EQ(TextFindLast(text, sub, flag), reference::FindLast(text, sub, flag));
        ASSERT_EQ(TextReplace(text, sub, other, flag), reference::Replace(text, sub, other, flag));
        ASSERT_EQ(TextSplit(text, sub), reference::Split(text, sub));
        ASSERT_EQ(TextTrim(text), reference::Trim(text));
        ASSERT_EQ(TextRemoveSpaces(text), reference::RemoveSpaces(text));
        ASSERT_EQ(TextBetween(text, sub, other, start, flag), reference::Between(text, sub, other, start, flag));
    }
}

TEST(TextDifferential, LongRepetitiveTextsTakeTheFallbackSearchAndAgree) {
    // Self-similar needles in long runs make candidate checks fail often,
    // which switches the fast search to its linear fallback mid-text.
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        Text text(3000 + random() % 3000, 'a');
        for (int k = 0; k < 20; ++k) text[random() % text.size()] = (random() & 1) ? '\xb0' : 'A';
        const Text sub = Text(1 + random() % 40, 'a') + ((random() & 1) ? "A" : "");
        const bool flag = (random() & 1) != 0;
        const int start = static_cast<int>(random() % 100);
        SCOPED_TRACE(testing::Message() << "round " << round);
        ASSERT_EQ(TextFind(text, sub, start, flag), reference::Find(text, sub, start, flag));
        ASSERT_EQ(TextFindLast(text, sub, flag), reference::FindLast(text, sub, flag));
        ASSERT_EQ(TextReplace(text, sub, "x", flag), reference::Replace(text, sub, "x", flag));
        ASSERT_EQ(TextSplit(text, sub), reference::Split(text, sub));
    }
}

}  // namespace
}  // namespace veltrano
