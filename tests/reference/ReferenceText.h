// Slow, obvious versions of the search-based text operations, written straight
// from their rules, to compare the fast ones with.
#pragma once

#include "text/Text.h"

namespace veltrano::reference {

[[nodiscard]] int Find(TextView text, TextView sub, int start, bool ignoreCase);
[[nodiscard]] int FindLast(TextView text, TextView sub, bool ignoreCase);
[[nodiscard]] Text Replace(TextView text, TextView sub, TextView replacement, bool caseSensitive);
[[nodiscard]] TextList Split(TextView text, TextView separator);
[[nodiscard]] Text Trim(TextView text);
[[nodiscard]] Text RemoveSpaces(TextView text);
[[nodiscard]] Text Between(TextView text, TextView left, TextView right, int start, bool caseSensitive);

}  // namespace veltrano::reference
