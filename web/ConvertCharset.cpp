#include "web/ConvertCharset.h"

#include <memory>

namespace veltrano::web {

namespace {

constexpr TextView kDefaultFromCharset = "UTF-8";
constexpr TextView kDefaultToCharset = "GBK";

// Every step runs whether or not an earlier one failed; a stream that could not
// be created fails them all. The result comes from Read alone.
Bytes RunStreamSequence(Automation& automation, BytesView data, TextView fromCharset, TextView toCharset,
                        std::optional<std::int32_t> offset) {
    const std::unique_ptr<CharsetStream> stream = automation.CreateObject(kStreamProgId);
    if (stream == nullptr) return {};
    stream->SetType(kStreamTypeBinary);
    stream->Open();
    stream->Write(data);
    stream->SetPosition(0);
    stream->SetType(kStreamTypeText);
    stream->SetCharset(fromCharset);
    Text decoded = stream->ReadText();
    stream->Close();
    stream->Open();
    stream->SetCharset(toCharset);
    stream->WriteText(decoded);
    Text().swap(decoded);  // the stream holds the text now; a page is not kept three times over
    stream->SetPosition(0);
    stream->SetType(kStreamTypeBinary);
    if (offset) stream->SetPosition(*offset);
    return stream->Read();
    // The stream is released here, without a second Close.
}

void DefaultIfEmpty(Text& charset, TextView fallback) {
    if (TextCompare(charset, "") == 0) charset = Text(fallback);
}

}  // namespace

Bytes ConvertCharset(Automation& automation, BytesView data, Text* fromCharset, Text* toCharset,
                     std::optional<std::int32_t> offset) {
    Text scratchFrom;
    Text scratchTo;
    Text& from = fromCharset != nullptr ? *fromCharset : scratchFrom;
    Text& to = toCharset != nullptr ? *toCharset : scratchTo;
    DefaultIfEmpty(from, kDefaultFromCharset);
    DefaultIfEmpty(to, kDefaultToCharset);

    automation.CoInitialize();
    Bytes result = RunStreamSequence(automation, data, from, to, offset);
    automation.CoUninitialize();
    return result;
}

}  // namespace veltrano::web
