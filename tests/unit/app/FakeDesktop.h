// A Desktop that writes every call to a shared call log, with controls that
// hold texts and a clipboard that can refuse to open.
#pragma once

#include <array>
#include <cstdio>
#include <optional>
#include <string>

#include "app/Desktop.h"
#include "fakes/CallLog.h"

namespace veltrano::app::testing {

// Contract: each call is one log line beginning "desktop.", with its quoted
// texts and its result. Controls keep what is written into them (all of it,
// unless `keep` says otherwise); `clipboardOpens` false makes PutClipboardText
// fail and leave `clipboard` as it was.
class FakeDesktop final : public Desktop {
public:
    explicit FakeDesktop(fakes::CallLog& log) : log_(log) {}

    std::array<Text, 6> controls{};  // by ControlId
    std::optional<Text> clipboard;   // nullopt: never written
    bool clipboardOpens = true;
    // What a control keeps of a text written into it.
    Text (*keep)(TextView written) = nullptr;

    [[nodiscard]] Text& control(ControlId id) { return controls[Index(id)]; }

    [[nodiscard]] Text GetControlText(ControlId id) override {
        log_.Add("desktop.GetControlText(" + Name(id) + ") -> " + fakes::Quoted(control(id)));
        return control(id);
    }
    void SetControlText(ControlId id, TextView text) override {
        log_.Add("desktop.SetControlText(" + Name(id) + ", " + fakes::Quoted(text) + ")");
        control(id) = keep != nullptr ? keep(text) : Text(text);
    }
    [[nodiscard]] bool PutClipboardText(TextView text) override {
        log_.Add("desktop.PutClipboardText(" + fakes::Quoted(text) + ") -> " + (clipboardOpens ? "true" : "false"));
        if (clipboardOpens) clipboard = Text(text);
        return clipboardOpens;
    }
    void ShowMessageBox(TextView text, std::uint32_t flags) override {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%04x", flags);
        log_.Add("desktop.ShowMessageBox(" + fakes::Quoted(text) + ", " + hex + ")");
    }

private:
    static std::size_t Index(ControlId id) { return static_cast<std::size_t>(id); }
    static std::string Name(ControlId id) {
        static constexpr std::array<const char*, 6> kNames{"标签2", "按钮2", "编辑框2", "按钮1", "标签1", "编辑框1"};
        return kNames[Index(id)];
    }

    fakes::CallLog& log_;
};

}  // namespace veltrano::app::testing
