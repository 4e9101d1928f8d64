// A Desktop that records every call in order, with controls that hold texts
// and a clipboard that can refuse to open.
#pragma once

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/Desktop.h"

namespace veltrano::app::testing {

class FakeDesktop final : public Desktop {
public:
    // Each call as one line; texts are the GBK bytes between « and ».
    std::vector<std::string> transcript;
    std::array<Text, 6> controlTexts{};  // by ControlId
    std::optional<Text> clipboard;       // nullopt: never written
    bool clipboardOpens = true;

    [[nodiscard]] Text GetControlText(ControlId control) override {
        const Text& text = controlTexts[Index(control)];
        transcript.push_back("GetControlText " + Name(control) + " -> «" + text + "»");
        return text;
    }
    void SetControlText(ControlId control, TextView text) override {
        transcript.push_back("SetControlText " + Name(control) + " «" + Text(text) + "»");
        controlTexts[Index(control)] = Text(text);
    }
    [[nodiscard]] bool PutClipboardText(TextView text) override {
        transcript.push_back("PutClipboardText «" + Text(text) + "» -> " + (clipboardOpens ? "true" : "false"));
        if (clipboardOpens) clipboard = Text(text);
        return clipboardOpens;
    }
    void ShowMessageBox(TextView text, std::uint32_t flags) override {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%04x", flags);
        transcript.push_back("ShowMessageBox «" + Text(text) + "» " + hex);
    }

    [[nodiscard]] Text& control(ControlId id) { return controlTexts[Index(id)]; }

private:
    static std::size_t Index(ControlId id) { return static_cast<std::size_t>(id); }
    static std::string Name(ControlId id) {
        static constexpr std::array<const char*, 6> kNames{"标签2", "按钮2", "编辑框2", "按钮1", "标签1", "编辑框1"};
        return kNames[Index(id)];
    }
};

}  // namespace veltrano::app::testing
