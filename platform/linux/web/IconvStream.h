// The charset stream on iconv, behaving as the Windows stream object does for
// the members the charset conversion uses: a binary or text stream with a byte
// Position, whose text reads and writes pass through code page 936 as texts
// crossing the automation boundary do on a Chinese Windows.
#pragma once

#include <memory>

#include "web/Automation.h"

namespace veltrano::platform::linux_web {

// The charsets a stream takes: "UTF-8", "GBK" (code page 936; also "CP936",
// "GB2312"), "Unicode" (UTF-16LE), and any other name iconv knows. Names are
// compared ignoring case.
class IconvCharsetStream final : public web::CharsetStream {
public:
    IconvCharsetStream();
    ~IconvCharsetStream() override;

    void SetType(std::int32_t type) override;
    void SetPosition(std::int32_t position) override;
    void SetCharset(TextView charset) override;
    void Open() override;
    void Write(BytesView data) override;
    [[nodiscard]] Text ReadText() override;
    void Close() override;
    void WriteText(TextView text) override;
    [[nodiscard]] Bytes Read() override;

    struct Charset;

private:
    void WriteAtPosition(const Bytes& bytes);

    std::unique_ptr<Charset> charset_;
    std::int32_t type_ = web::kStreamTypeText;
    bool open_ = false;
    Bytes content_;
    std::size_t position_ = 0;
};

// COM needs no set-up here; "Adodb.Stream" (any case) creates the stream above.
class IconvAutomation final : public web::Automation {
public:
    void CoInitialize() override {}
    void CoUninitialize() override {}
    [[nodiscard]] std::unique_ptr<web::CharsetStream> CreateObject(TextView progId) override;
};

}  // namespace veltrano::platform::linux_web
