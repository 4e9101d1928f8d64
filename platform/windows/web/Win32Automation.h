// COM around the charset conversion, bound by name from ole32.dll, and the
// stream object the conversion asks for by its ProgID.
#pragma once

#include "web/Automation.h"

namespace veltrano::windows {

class Win32Automation final : public web::Automation {
public:
    void CoInitialize() override;
    void CoUninitialize() override;
    // The stream on Win32's conversions for "Adodb.Stream" (any case); nullptr for anything else.
    [[nodiscard]] std::unique_ptr<web::CharsetStream> CreateObject(TextView progId) override;
};

}  // namespace veltrano::windows
