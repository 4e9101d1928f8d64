// Re-encoding a byte buffer through the platform's charset stream.
#pragma once

#include <cstdint>
#include <optional>

#include "text/Text.h"
#include "web/Automation.h"

namespace veltrano::web {

inline constexpr TextView kStreamProgId = "Adodb.Stream";

// Empty charsets become "UTF-8" and "GBK" and are stored back when the caller
// passed variables. offset, when supplied, is the byte the result starts at.
// Empty Bytes when the conversion fails; never falls back to data.
[[nodiscard]] Bytes ConvertCharset(Automation& automation, BytesView data, Text* fromCharset = nullptr,
                                   Text* toCharset = nullptr, std::optional<std::int32_t> offset = std::nullopt);

}  // namespace veltrano::web
