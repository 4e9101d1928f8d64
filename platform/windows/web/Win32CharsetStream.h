// The charset stream on Win32's own conversions: the text between the two
// halves goes through the system ANSI code page, as the automation boundary
// would take it. Charsets by name: "GBK" is code page 936, "UTF-8" 65001.
#pragma once

#include <optional>

#include "web/Automation.h"

namespace veltrano::windows {

// The code page of a charset name the stream knows, ignoring case.
[[nodiscard]] std::optional<unsigned> CodePageOfCharset(TextView charset);

// Behaves as the system's stream object does for the calls the converter makes:
// it must be open, Type and Charset change only at position 0, Charset needs a
// known name, Write/Read work in byte mode and ReadText/WriteText in text mode.
// A refused call changes nothing.
class Win32CharsetStream final : public web::CharsetStream {
public:
    void SetType(std::int32_t type) override;
    void SetPosition(std::int32_t position) override;
    void SetCharset(TextView charset) override;
    void Open() override;
    void Write(BytesView data) override;
    [[nodiscard]] Text ReadText() override;
    void Close() override;
    void WriteText(TextView text) override;
    [[nodiscard]] Bytes Read() override;

private:
    void Store(BytesView data);

    bool open_ = false;
    std::int32_t type_ = web::kStreamTypeText;
    unsigned codePage_ = 0;  // 0 until a charset is set: the system's default, Unicode
    Bytes contents_;
    std::size_t position_ = 0;
    Text lastReadText_;  // the ANSI text ReadText last gave out
};

}  // namespace veltrano::windows
