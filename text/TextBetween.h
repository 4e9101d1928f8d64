// Delimited extraction: the text between a left marker and the next right marker.
#pragma once

#include "text/Text.h"

namespace veltrano {

// "#引号" (GBK bytes) in either marker stands for a double quote; it is replaced
// byte for byte whatever caseSensitive says.
inline constexpr TextView kQuotePlaceholder = "#\xd2\xfd\xba\xc5";

// The bytes between the first left marker at or after start and the first right
// marker after it; empty when either is missing. caseSensitive false folds A-Z.
[[nodiscard]] Text TextBetween(TextView text, TextView left, TextView right, int start = 0,
                               bool caseSensitive = false);

}  // namespace veltrano
