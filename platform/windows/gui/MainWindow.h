// The main window in Win32, built from the portable window description.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "app/MainWindowLayout.h"
#include "gui/Win32Handles.h"

namespace veltrano::windows {

inline constexpr const char* kMainWindowClassName = "VeltranoMainWindow";
inline constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

struct WindowIcons {
    HICON large;
    HICON small;
};

class MainWindow {
public:
    // The window at the centre of the primary screen with its six controls,
    // stacked, not yet shown; nullptr when any part cannot be created.
    [[nodiscard]] static std::unique_ptr<MainWindow> Create(HINSTANCE instance, WindowIcons icons);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    // Runs on the loop's thread when the button is clicked; the loop waits for it.
    void SetClickHandler(app::ControlId button, std::function<void()> handler);
    void Show();
    // Delivers messages until the window is destroyed; the quit code.
    int RunMessageLoop();
    // Escape closes, Tab and Shift+Tab move the focus with wrap, Enter means
    // nothing: true when the message was used up here.
    bool TranslateKey(const MSG& message);

    [[nodiscard]] HWND Handle() const { return window_; }
    [[nodiscard]] HWND Control(app::ControlId id) const;

private:
    MainWindow() = default;
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] bool CreateControls(HINSTANCE instance);
    void MoveFocus(bool backwards);
    void FocusRememberedOrFirst();

    // Declared in order of creation; the window goes first, its classes and fonts after it.
    RegisteredClass windowClass_;
    RegisteredClass labelClass_;
    std::vector<UniqueFont> fonts_;
    HWND window_ = nullptr;  // destroyed by the close request, or by the destructor
    std::array<HWND, 6> controls_{};  // indexed by ControlId
    std::array<std::function<void()>, 6> clickHandlers_;
    HWND rememberedFocus_ = nullptr;
};

}  // namespace veltrano::windows
