// A scripted, recording stand-in for the automation seam and its charset stream.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "fakes/CallLog.h"
#include "web/Automation.h"

namespace veltrano::fakes {

// Contract: CoInitialize, CoUninitialize, CreateObject and every member call of
// the streams it creates go to the log, one line each with arguments and
// result ("stream.Type = 1", "stream.ReadText() -> \"abc\"", "stream released");
// the log must outlive the streams. The stream keeps real state for simple
// data: Open starts it empty, Write/WriteText write at the position, Read and
// ReadText return from the position to the end (ReadText up to a NUL), Type
// changes only at position 0, and a call in the wrong state fails. It converts
// nothing: every charset is the identity, so ASCII round-trips exactly as the
// real one does. `failCreate` makes CreateObject give nullptr; `failMember`
// names one member ("Open", "Write", "ReadText", "Read", "Type", "Charset", ...)
// that always fails: no effect, an empty result, "-> failed" in the log.
class FakeAutomation final : public web::Automation {
public:
    explicit FakeAutomation(CallLog& log) : log_(log) {}

    bool failCreate = false;
    std::string failMember;

    void CoInitialize() override;
    void CoUninitialize() override;
    [[nodiscard]] std::unique_ptr<web::CharsetStream> CreateObject(TextView progId) override;

private:
    CallLog& log_;
};

}  // namespace veltrano::fakes
