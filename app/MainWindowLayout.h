// The main window as data: what both platforms build, control by control.
#pragma once

#include <array>

#include "app/Controls.h"
#include "text/Text.h"

namespace veltrano::app {

enum class ControlClass { EditBox, Button, Label };
enum class FontKind { SystemFace16, NamedFace16, DefaultGui };
enum class TextAlign { Left, Center };

struct ControlLayout {
    ControlId id;
    ControlClass controlClass;
    int left, top, width, height;  // client coordinates
    TextView startText;            // GBK
    FontKind font;
    TextView fontFace;  // GBK; set for NamedFace16 only
    TextAlign align;    // labels only; edits align left, buttons centre
    bool takesFocus;
};

struct WindowLayout {
    TextView caption;  // GBK
    int outerWidth, outerHeight;
    int clientWidth, clientHeight;  // fixed single frame of 3 px and a 23 px title bar
    std::array<ControlLayout, 6> controls;  // stacking order, top first
    std::array<ControlId, 4> tabOrder;
};

// 16 px: requested height -16, weight 400, the platform's default charset and pitch.
inline constexpr int kFontHeight = 16;

// Left = (screen width - outer width) / 2, top likewise, truncated toward zero.
[[nodiscard]] constexpr int CentredOffset(int screenExtent, int windowExtent) {
    return (screenExtent - windowExtent) / 2;
}

// GBK texts; the UTF-8 form is in the comment beside each.
inline constexpr TextView kNoticeText =  // 本软件仅供学习交流使用，视频版权归原作者所有，请勿用于商业用途！
    "\xb1\xbe\xc8\xed\xbc\xfe\xbd\xf6\xb9\xa9\xd1\xa7\xcf\xb0\xbd\xbb\xc1\xf7\xca\xb9\xd3\xc3\xa3\xac"
    "\xca\xd3\xc6\xb5\xb0\xe6\xc8\xa8\xb9\xe9\xd4\xad\xd7\xf7\xd5\xdf\xcb\xf9\xd3\xd0\xa3\xac"
    "\xc7\xeb\xce\xf0\xd3\xc3\xd3\xda\xc9\xcc\xd2\xb5\xd3\xc3\xcd\xbe\xa3\xa1";
inline constexpr TextView kParseButtonText = "\xbd\xe2\xce\xf6\xb2\xa2\xb8\xb4\xd6\xc6";  // 解析并复制
inline constexpr TextView kAddressLabelText = "\xb2\xa5\xb7\xc5\xb5\xd8\xd6\xb7\xa3\xba";  // 播放地址：
inline constexpr TextView kClearButtonFace = "\xce\xa2\xc8\xed\xd1\xc5\xba\xda";           // 微软雅黑

inline constexpr WindowLayout kMainWindow{
    .caption = "VeltranoV1.0 - By Ostrik on veltrano.example",
    .outerWidth = 536,
    .outerHeight = 121,
    .clientWidth = 530,
    .clientHeight = 92,
    .controls = {{
        {ControlId::标签2, ControlClass::Label, 16, 64, 512, 24, kNoticeText, FontKind::SystemFace16, {},
         TextAlign::Center, false},
        {ControlId::按钮2, ControlClass::Button, 400, 24, 24, 32, "X", FontKind::NamedFace16, kClearButtonFace,
         TextAlign::Center, true},
        {ControlId::编辑框2, ControlClass::EditBox, 80, 64, 432, 24, {}, FontKind::DefaultGui, {}, TextAlign::Left,
         true},
        {ControlId::按钮1, ControlClass::Button, 424, 24, 96, 32, kParseButtonText, FontKind::SystemFace16, {},
         TextAlign::Center, true},
        {ControlId::标签1, ControlClass::Label, 0, 24, 72, 24, kAddressLabelText, FontKind::SystemFace16, {},
         TextAlign::Left, false},
        {ControlId::编辑框1, ControlClass::EditBox, 80, 24, 320, 32, {}, FontKind::SystemFace16, {},
         TextAlign::Left, true},
    }},
    .tabOrder = {ControlId::编辑框1, ControlId::按钮1, ControlId::编辑框2, ControlId::按钮2},
};

}  // namespace veltrano::app
