// Differential fuzzer: the fast text operations against the plain reference on
// arbitrary bytes. Input: a flag byte, a signed start position, the lengths of
// sub and of the replacement (below 16 and 8), then sub, replacement and text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "reference/ReferenceText.h"
#include "text/TextBetween.h"

namespace {

using veltrano::Text;
using veltrano::TextView;

[[noreturn]] void Differ(const char* operation) {
    std::fprintf(stderr, "fast and reference %s differ\n", operation);
    std::abort();
}

// Texts hold no NUL; the fuzzer's NUL bytes become 'N'.
Text WithoutNul(TextView bytes) {
    Text text(bytes);
    for (char& c : text) {
        if (c == '\0') c = 'N';
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const bool flag = (data[0] & 1) != 0;
    const int start = static_cast<int>(static_cast<std::int8_t>(data[1]));
    std::size_t subLength = data[2] % 16;
    std::size_t otherLength = data[3] % 8;
    TextView rest(reinterpret_cast<const char*>(data + 4), size - 4);
    subLength = std::min(subLength, rest.size());
    const Text sub = WithoutNul(rest.substr(0, subLength));
    rest.remove_prefix(subLength);
    otherLength = std::min(otherLength, rest.size());
    const Text other = WithoutNul(rest.substr(0, otherLength));
    rest.remove_prefix(otherLength);
    const Text text = WithoutNul(rest);

    namespace ref = veltrano::reference;
    if (veltrano::TextFind(text, sub, start, flag) != ref::Find(text, sub, start, flag)) Differ("TextFind");
    if (veltrano::TextFindLast(text, sub, flag) != ref::FindLast(text, sub, flag)) Differ("TextFindLast");
    if (veltrano::TextReplace(text, sub, other, flag) != ref::Replace(text, sub, other, flag)) Differ("TextReplace");
    if (!(veltrano::TextSplit(text, sub) == ref::Split(text, sub))) Differ("TextSplit");
    if (veltrano::TextTrim(text) != ref::Trim(text)) Differ("TextTrim");
    if (veltrano::TextRemoveSpaces(text) != ref::RemoveSpaces(text)) Differ("TextRemoveSpaces");
    if (veltrano::TextBetween(text, sub, other, start, flag) != ref::Between(text, sub, other, start, flag)) {
        Differ("TextBetween");
    }
    return 0;
}
