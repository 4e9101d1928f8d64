#include "text/TextBetween.h"

namespace veltrano {

Text TextBetween(TextView text, TextView left, TextView right, int start, bool caseSensitive) {
    const Text leftMarker = TextReplace(left, kQuotePlaceholder, "\"", true);
    const Text rightMarker = TextReplace(right, kQuotePlaceholder, "\"", true);
    const bool ignoreCase = !caseSensitive;
    int a = TextFind(text, leftMarker, start, ignoreCase);
    if (a == -1) return {};
    a += TextLength(leftMarker);
    const int b = TextFind(text, rightMarker, a, ignoreCase);
    if (b == -1) return {};
    return TextMid(text, a, b - a);
}

}  // namespace veltrano
