// The stream object that re-encodes text, and the COM calls around it, as the
// charset conversion asks for them. Each member mirrors one automation call.
#pragma once

#include <cstdint>
#include <memory>

#include "text/Text.h"

namespace veltrano::web {

inline constexpr std::int32_t kStreamTypeBinary = 1;
inline constexpr std::int32_t kStreamTypeText = 2;

// A failed call has no effect but its empty result; the caller goes on.
class CharsetStream {
public:
    virtual ~CharsetStream() = default;

    virtual void SetType(std::int32_t type) = 0;
    virtual void SetPosition(std::int32_t position) = 0;
    virtual void SetCharset(TextView charset) = 0;
    virtual void Open() = 0;
    virtual void Write(BytesView data) = 0;
    // From the current position to the end, decoded and then taken through the
    // system ANSI code page; ends at the first NUL character.
    [[nodiscard]] virtual Text ReadText() = 0;
    virtual void Close() = 0;
    virtual void WriteText(TextView text) = 0;
    // Every byte from the current position to the end.
    [[nodiscard]] virtual Bytes Read() = 0;
};

class Automation {
public:
    virtual ~Automation() = default;

    virtual void CoInitialize() = 0;
    virtual void CoUninitialize() = 0;
    // nullptr when the object cannot be created; releasing it is destroying it.
    [[nodiscard]] virtual std::unique_ptr<CharsetStream> CreateObject(TextView progId) = 0;
};

}  // namespace veltrano::web
