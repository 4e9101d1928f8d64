// Text, Bytes and TextList: the values all of Veltrano's logic is written on.
//
// Encoding contract, shared by every character-wise operation here: a byte
// from 0x80 to 0xFF is a lead byte and forms one character with the byte after
// it, whatever that byte is; every other byte is a character by itself. Only
// the top bit is tested, no code-page table. A lead byte that is the last byte
// of a Text is a "lone lead byte"; each operation says what it does with one.
// Positions are 1-based byte positions; searches give -1 for "not found".
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano {

// GBK bytes without NUL. An absent Text and the empty Text are the same value.
using Text = std::string;
using TextView = std::string_view;

// Any bytes, NUL included, with an explicit length.
using Bytes = std::vector<std::uint8_t>;
using BytesView = std::span<const std::uint8_t>;

// Members numbered 1 to ListSize, kept back to back in one buffer so that
// splitting a page costs one allocation, not one per member.
class TextList {
public:
    TextList() = default;
    TextList(std::initializer_list<TextView> members);

    [[nodiscard]] std::size_t size() const { return ends_.size(); }
    // 0-based; index must be below size().
    [[nodiscard]] TextView operator[](std::size_t index) const;
    void push_back(TextView member);
    void reserve(std::size_t members, std::size_t bytes);

    friend bool operator==(const TextList&, const TextList&) = default;

    // Iterates the members as views into the list.
    class Iterator {
    public:
        Iterator(const TextList* list, std::size_t index) : list_(list), index_(index) {}
        TextView operator*() const { return (*list_)[index_]; }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        friend bool operator==(const Iterator&, const Iterator&) = default;

    private:
        const TextList* list_;
        std::size_t index_;
    };
    [[nodiscard]] Iterator begin() const { return {this, 0}; }
    [[nodiscard]] Iterator end() const { return {this, size()}; }

private:
    std::string bytes_;
    std::vector<std::size_t> ends_;  // where each member ends in bytes_
};

[[nodiscard]] int TextLength(TextView text);
[[nodiscard]] Text TextLeft(TextView text, int n);
[[nodiscard]] Text TextRight(TextView text, int n);
[[nodiscard]] Text TextMid(TextView text, int start, int n);

// First occurrence of sub starting on a character boundary counted from the
// start of the region; start <= 1 means the whole text.
[[nodiscard]] int TextFind(TextView text, TextView sub, int start = 0, bool ignoreCase = false);
[[nodiscard]] int TextFindLast(TextView text, TextView sub, bool ignoreCase = false);

// Maps A-Z to a-z in single-byte characters only; double-byte characters and a
// lone lead byte are copied unchanged.
[[nodiscard]] Text TextToLower(TextView text);

// Space characters are 0x20 and the pair 0xA1 0xA1 only. A lone lead byte at the
// end is removed by both.
[[nodiscard]] Text TextTrim(TextView text);
[[nodiscard]] Text TextRemoveSpaces(TextView text);

// caseSensitive true matches byte for byte; false folds A-Z. A lone lead byte
// reached by the scan is dropped.
[[nodiscard]] Text TextReplace(TextView text, TextView sub, TextView replacement, bool caseSensitive);

// Pieces between byte-exact separators; a trailing separator gives no empty
// last member. A lone lead byte ends the scan and stays in the last member.
[[nodiscard]] TextList TextSplit(TextView text, TextView separator);

// Folds full-width digits, signs and spaces, then reads a decimal number with
// 32-bit two's-complement wrap-around and no overflow test.
[[nodiscard]] std::int32_t TextToInteger(TextView text);

// -1, 0 or 1, comparing bytes as unsigned values.
[[nodiscard]] int TextCompare(TextView a, TextView b);

[[nodiscard]] Text TextConcatList(std::initializer_list<TextView> parts);
template <class... Parts>
[[nodiscard]] Text TextConcat(const Parts&... parts) {
    return TextConcatList({TextView(parts)...});
}

[[nodiscard]] Text TextBlank(int n);

[[nodiscard]] Bytes TextToBytes(TextView text);
// The bytes before the first NUL, or all of them.
[[nodiscard]] Text BytesToText(BytesView bytes);
[[nodiscard]] int BytesLength(BytesView bytes);
[[nodiscard]] Bytes BytesLeft(BytesView bytes, int n);
// Plain byte search: no character stepping, no case folding; an empty sub gives -1.
[[nodiscard]] int BytesFind(BytesView bytes, BytesView sub);
[[nodiscard]] Bytes BytesBlank(int n);
[[nodiscard]] Bytes BytesConcatList(std::initializer_list<BytesView> parts);
template <class... Parts>
[[nodiscard]] Bytes BytesConcat(const Parts&... parts) {
    return BytesConcatList({BytesView(parts)...});
}

[[nodiscard]] int ListSize(const TextList& list);
// A copy of member i, which must lie within 1 to ListSize(list).
[[nodiscard]] Text ListItem(const TextList& list, int i);
void ListAppend(TextList& list, TextView text);

}  // namespace veltrano
