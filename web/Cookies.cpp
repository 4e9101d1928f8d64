#include "web/Cookies.h"

namespace veltrano::web {

namespace {

// A server deletes a cookie by sending it with this value; exact lower case only.
constexpr TextView kDeletedSuffix = "=deleted";
constexpr TextView kMergedSeparator = "; ";

}  // namespace

Text MergeCookies(Text& cookies, Text& receivedCookies) {
    cookies = TextRemoveSpaces(cookies);
    receivedCookies = TextRemoveSpaces(receivedCookies);
    const TextList oldPairs = TextSplit(cookies, ";");
    TextList merged = TextSplit(receivedCookies, ";");
    // Seeing the pairs appended so far keeps only the first of several old pairs with one name.
    for (TextView pair : oldPairs) {
        if (!HasCookieName(merged, CookieName(pair))) ListAppend(merged, pair);
    }
    Text joined;
    for (TextView pair : merged) {
        if (TextCompare(TextRight(pair, 8), kDeletedSuffix) != 0) joined.append(pair).append(kMergedSeparator);
    }
    cookies = RemoveDuplicateMembers(TextLeft(joined, TextLength(joined) - 2), kMergedSeparator);
    return cookies;
}

Text CookieName(TextView pair) {
    const int equals = TextFind(pair, "=");
    if (equals == -1) return TextTrim(pair);
    return TextTrim(TextLeft(pair, equals - 1));
}

bool HasCookieName(const TextList& pairs, TextView name) {
    for (int i = 1; i <= ListSize(pairs); ++i) {
        if (TextCompare(CookieName(ListItem(pairs, i)), name) == 0) return true;
    }
    return false;
}

Text RemoveDuplicateMembers(TextView text, TextView separator) {
    TextList seen;
    Text accumulated;
    for (TextView member : TextSplit(text, separator)) {
        if (MemberIndex(seen, member) == -1) {
            ListAppend(seen, member);
            accumulated.append(member).append(separator);
        }
    }
    return TextLeft(accumulated, TextLength(accumulated) - TextLength(separator));
}

std::int32_t MemberIndex(const TextList& members, TextView member) {
    for (int i = 1; i <= ListSize(members); ++i) {
        if (TextCompare(ListItem(members, i), member) == 0) return i;
    }
    return -1;
}

}  // namespace veltrano::web
