// Cookie texts: name=value pairs separated by ";", merged into "a=1; b=2" form.
// All comparisons are exact bytes: names are case-sensitive.
#pragma once

#include <cstdint>

#include "text/Text.h"

namespace veltrano::web {

// Folds receivedCookies into cookies: received pairs first, then old pairs whose
// names were not received; "=deleted" pairs and byte-for-byte repeats left out.
// Both arguments are rewritten without spaces; the result is a copy of cookies.
Text MergeCookies(Text& cookies, Text& receivedCookies);

[[nodiscard]] Text CookieName(TextView pair);
[[nodiscard]] bool HasCookieName(const TextList& pairs, TextView name);
[[nodiscard]] Text RemoveDuplicateMembers(TextView text, TextView separator);
// 1-based index of the first member equal to member, or -1.
[[nodiscard]] std::int32_t MemberIndex(const TextList& members, TextView member);

}  // namespace veltrano::web
