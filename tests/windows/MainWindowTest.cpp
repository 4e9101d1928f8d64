// The Win32 window built from the window description, in this process, under
// Wine on an 800x600 X screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "app/MainWindowLayout.h"
#include "gui/LabelControl.h"
#include "gui/MainWindow.h"
#include "gui/Win32Desktop.h"

namespace veltrano::windows {
namespace {

using app::ControlId;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT ClientRectOf(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

LOGFONTA FontOf(HWND control) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = MainWindow::Create(GetModuleHandleA(nullptr), {nullptr, nullptr});
        ASSERT_NE(window, nullptr);
    }
    void ShowAndFocus() {
        window->Show();
        SetForegroundWindow(window->Handle());
        PumpMessages();
    }
    // A key as the message loop would see it, aimed at the focused control.
    void PressKey(WPARAM key, bool shift = false) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG message{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
        EXPECT_TRUE(window->TranslateKey(message));
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        PumpMessages();
    }
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, CentredFixedFrameWithMinimiseOnly) {
    RECT outer;
    GetWindowRect(window->Handle(), &outer);
    EXPECT_EQ(outer.left, 132);
    EXPECT_EQ(outer.top, 239);
    EXPECT_EQ(outer.right - outer.left, 536);
    EXPECT_EQ(outer.bottom - outer.top, 121);

    const auto style = static_cast<DWORD>(GetWindowLongA(window->Handle(), GWL_STYLE));
    constexpr DWORD kWanted = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    EXPECT_EQ(style & kWanted, kWanted);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_POPUP | WS_CHILD), 0u);
    // The system adds the window edge to every captioned window; nothing else.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window->Handle(), GWL_EXSTYLE)) & ~DWORD{WS_EX_WINDOWEDGE}, 0u);

    char caption[128] = {};
    GetWindowTextA(window->Handle(), caption, sizeof caption);
    EXPECT_EQ(TextView(caption), app::kMainWindow.caption);
    EXPECT_EQ(GetClassLongPtrA(window->Handle(), GCLP_HBRBACKGROUND),
              reinterpret_cast<ULONG_PTR>(GetSysColorBrush(COLOR_BTNFACE)));
}

TEST_F(MainWindowTest, ControlsAsDescribedInStackingOrder) {
    HWND child = GetWindow(window->Handle(), GW_CHILD);
    for (const app::ControlLayout& layout : app::kMainWindow.controls) {
        SCOPED_TRACE(static_cast<int>(layout.id));
        HWND control = window->Control(layout.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(child, control) << "stacking order";
        child = GetWindow(child, GW_HWNDNEXT);

        const RECT rect = ClientRectOf(control);
        EXPECT_EQ(rect.left, layout.left);
        EXPECT_EQ(rect.top, layout.top);
        EXPECT_EQ(rect.right - rect.left, layout.width);
        EXPECT_EQ(rect.bottom - rect.top, layout.height);

        char text[256] = {};
        GetWindowTextA(control, text, sizeof text);
        EXPECT_EQ(TextView(text), layout.startText);

        const auto style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        const auto exStyle = static_cast<DWORD>(GetWindowLongA(control, GWL_EXSTYLE));
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS), DWORD{WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS});
        EXPECT_TRUE(IsWindowEnabled(control));
        switch (layout.controlClass) {
            case app::ControlClass::EditBox:
                EXPECT_EQ(ClassOf(control), "Edit");
                EXPECT_EQ(style & (ES_AUTOHSCROLL | ES_MULTILINE | ES_READONLY | ES_PASSWORD | ES_NOHIDESEL),
                          DWORD{ES_AUTOHSCROLL});
                EXPECT_NE(exStyle & WS_EX_CLIENTEDGE, 0u);
                break;
            case app::ControlClass::Button:
                EXPECT_EQ(ClassOf(control), "Button");
                EXPECT_EQ(style & 0x0F, DWORD{BS_PUSHBUTTON}) << "never a default button";
                EXPECT_EQ(style & (BS_CENTER | BS_VCENTER | BS_MULTILINE), DWORD{BS_CENTER | BS_VCENTER | BS_MULTILINE});
                break;
            case app::ControlClass::Label:
                EXPECT_EQ(ClassOf(control), kLabelClassName);
                EXPECT_EQ((style & kLabelCentred) != 0, layout.align == app::TextAlign::Center);
                EXPECT_EQ(style & WS_TABSTOP, 0u);
                break;
        }

        const LOGFONTA font = FontOf(control);
        if (layout.font == app::FontKind::DefaultGui) {
            EXPECT_EQ(SendMessageA(control, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
        } else {
            EXPECT_EQ(font.lfHeight, -app::kFontHeight);
            EXPECT_EQ(font.lfWeight, FW_NORMAL);
            EXPECT_EQ(font.lfQuality, PROOF_QUALITY);
            EXPECT_EQ(TextView(font.lfFaceName), layout.font == app::FontKind::NamedFace16 ? layout.fontFace : "");
        }
    }
    EXPECT_EQ(child, nullptr) << "no other child";
}

TEST_F(MainWindowTest, NoticeLabelCoversTheResultBox) {
    // Any point of the result box belongs to the notice, which lies above it.
    const RECT box = ClientRectOf(window->Control(ControlId::编辑框2));
    for (const POINT point : {POINT{box.left, box.top}, POINT{box.right - 1, box.bottom - 1}}) {
        EXPECT_EQ(ChildWindowFromPointEx(window->Handle(), point, CWP_ALL), window->Control(ControlId::标签2));
    }
}

TEST_F(MainWindowTest, FocusStartsInTheAddressBoxAndTabWraps) {
    ShowAndFocus();
    EXPECT_EQ(GetFocus(), window->Control(ControlId::编辑框1));
    const ControlId forward[] = {ControlId::按钮1, ControlId::编辑框2, ControlId::按钮2, ControlId::编辑框1};
    for (const ControlId id : forward) {
        PressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), window->Control(id)) << static_cast<int>(id);
    }
    const ControlId backward[] = {ControlId::按钮2, ControlId::编辑框2, ControlId::按钮1, ControlId::编辑框1};
    for (const ControlId id : backward) {
        PressKey(VK_TAB, true);
        EXPECT_EQ(GetFocus(), window->Control(id)) << static_cast<int>(id);
    }
    // Enter means nothing: the focus stays and no button runs.
    bool clicked = false;
    window->SetClickHandler(ControlId::按钮1, [&] { clicked = true; });
    PressKey(VK_TAB);
    PressKey(VK_RETURN);
    EXPECT_EQ(GetFocus(), window->Control(ControlId::按钮1));
    EXPECT_FALSE(clicked);
}

TEST_F(MainWindowTest, FocusReturnsToItsControlOnActivation) {
    ShowAndFocus();
    SetFocus(window->Control(ControlId::按钮2));
    // Activation leaves and comes back, as when the user switches programs.
    SendMessageA(window->Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(nullptr);
    SendMessageA(window->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    PumpMessages();
    EXPECT_EQ(GetFocus(), window->Control(ControlId::按钮2));
}

TEST_F(MainWindowTest, ButtonsRunTheirHandlers) {
    ShowAndFocus();
    int parse = 0, clear = 0;
    window->SetClickHandler(ControlId::按钮1, [&] { ++parse; });
    window->SetClickHandler(ControlId::按钮2, [&] { ++clear; });
    SendMessageA(window->Control(ControlId::按钮1), BM_CLICK, 0, 0);
    SendMessageA(window->Control(ControlId::按钮2), BM_CLICK, 0, 0);
    SendMessageA(window->Control(ControlId::按钮2), BM_CLICK, 0, 0);
    EXPECT_EQ(parse, 1);
    EXPECT_EQ(clear, 2);
}

TEST(MainWindowEscapeTest, EscapeFromEachFocusableControlEndsTheLoopWithZero) {
    for (const ControlId id : app::kMainWindow.tabOrder) {
        SCOPED_TRACE(static_cast<int>(id));
        auto window = MainWindow::Create(GetModuleHandleA(nullptr), {nullptr, nullptr});
        ASSERT_NE(window, nullptr);
        window->Show();
        SetFocus(window->Control(id));
        PostMessageA(window->Control(id), WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_EQ(window->RunMessageLoop(), 0);
        EXPECT_EQ(window->Handle(), nullptr) << "destroyed";
    }
}

TEST_F(MainWindowTest, ControlTextsRoundTripAsGbk) {
    Win32Desktop desktop(*window);
    const Text chinese = "\xd6\xd0\xce\xc4&x";  // 中文&x
    const Text longText(40000, 'a');           // beyond the edit box's own default limit
    for (const Text& text : {chinese, longText, Text{}}) {
        for (const ControlId id : {ControlId::编辑框1, ControlId::编辑框2}) {
            desktop.SetControlText(id, text);
            EXPECT_EQ(desktop.GetControlText(id), text);
        }
    }
}

Text ClipboardAnsiText() {
    if (!OpenClipboard(nullptr)) return "(not open)";
    Text text = "(none)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

TEST(ClipboardTest, PutsAnsiTextAndLeavesABusyClipboardAlone) {
    for (const Text& text : {Text("http://127.0.0.1/v.mp4?\xd6\xd0"), Text{}}) {
        EXPECT_TRUE(PutClipboardAnsiText(text));
        EXPECT_EQ(ClipboardAnsiText(), text);
    }
    ASSERT_TRUE(PutClipboardAnsiText("kept"));

    // Another thread holds the clipboard open: nothing is written, and it says so.
    std::atomic<int> held{0};  // 1 open, -1 could not open
    std::atomic<bool> done{false};
    std::thread holder([&] {
        // Opened for a window of its own: Wine tells holders apart by window.
        HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        held = OpenClipboard(owner) != FALSE ? 1 : -1;
        while (!done) Sleep(5);
        if (held == 1) CloseClipboard();
        DestroyWindow(owner);
    });
    while (held == 0) Sleep(5);
    EXPECT_EQ(held, 1);
    EXPECT_FALSE(PutClipboardAnsiText("lost"));
    done = true;
    holder.join();
    EXPECT_EQ(ClipboardAnsiText(), "kept");
}

}  // namespace
}  // namespace veltrano::windows
