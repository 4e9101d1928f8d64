// Well-formed UTF-8 has exactly one decoding, so it can be decoded without the
// system's help (Wine's own decoder is about twice as slow as this one); what is
// ill-formed is left to the system's rules for replacing it.
#pragma once

#include <cstddef>
#include <optional>

namespace veltrano::windows {

// The UTF-16 units of `size` bytes written to `units` (room for `size` units is
// enough), or nothing when any byte is not part of a well-formed character: an
// overlong form, a surrogate, a code point past U+10FFFF or a cut sequence.
[[nodiscard]] std::optional<std::size_t> DecodeWellFormedUtf8(const unsigned char* bytes, std::size_t size,
                                                              wchar_t* units);

}  // namespace veltrano::windows
