#include "gui/MainWindow.h"

#include <string>

#include "gui/LabelControl.h"

namespace veltrano::windows {
namespace {

using app::ControlClass;
using app::ControlId;
using app::FontKind;

std::size_t IndexOf(ControlId id) { return static_cast<std::size_t>(id); }
// Control identifiers start at 1: 0 is no identifier at all.
int CommandIdOf(ControlId id) { return static_cast<int>(id) + 1; }

std::string WithNul(TextView text) { return std::string(text); }

struct ControlStyle {
    const char* className;
    DWORD style;
    DWORD exStyle;
};

ControlStyle StyleOf(const app::ControlLayout& control) {
    // Every control is a child that never draws over a sibling lying above it.
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (control.controlClass) {
        case ControlClass::EditBox:
            return {"EDIT", kChild | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlClass::Button:
            return {"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE, 0};
        case ControlClass::Label:
            return {kLabelClassName, kChild | (control.align == app::TextAlign::Center ? kLabelCentred : 0), 0};
    }
    return {};
}

// 16 px: the requested height -16 and the attributes the window's fonts share.
HFONT CreateFont16(TextView face) {
    const std::string faceName = WithNul(face);
    return CreateFontA(-app::kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, faceName.c_str());
}

bool CanTakeFocus(HWND control) { return control != nullptr && IsWindowVisible(control) && IsWindowEnabled(control); }

}  // namespace

std::unique_ptr<MainWindow> MainWindow::Create(HINSTANCE instance, WindowIcons icons) {
    std::unique_ptr<MainWindow> self(new MainWindow());

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MainWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icons.large;
    windowClass.hIconSm = icons.small;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kMainWindowClassName;
    self->windowClass_ = RegisteredClass(instance, kMainWindowClassName, RegisterClassExA(&windowClass));
    self->labelClass_ = RegisterLabelClass(instance);
    if (!self->windowClass_ || !self->labelClass_) return nullptr;

    const app::WindowLayout& layout = app::kMainWindow;
    const int left = app::CentredOffset(GetSystemMetrics(SM_CXSCREEN), layout.outerWidth);
    const int top = app::CentredOffset(GetSystemMetrics(SM_CYSCREEN), layout.outerHeight);
    const std::string caption = WithNul(layout.caption);
    CreateWindowExA(0, kMainWindowClassName, caption.c_str(), kMainWindowStyle, left, top, layout.outerWidth,
                    layout.outerHeight, nullptr, nullptr, instance, self.get());
    if (self->window_ == nullptr || !self->CreateControls(instance)) return nullptr;
    // The created handler does nothing.
    return self;
}

MainWindow::~MainWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
}

bool MainWindow::CreateControls(HINSTANCE instance) {
    HWND above = HWND_TOP;
    for (const app::ControlLayout& control : app::kMainWindow.controls) {
        const ControlStyle style = StyleOf(control);
        const std::string text = WithNul(control.startText);
        HWND handle = CreateWindowExA(style.exStyle, style.className, text.c_str(), style.style, control.left,
                                      control.top, control.width, control.height, window_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(CommandIdOf(control.id))),
                                      instance, nullptr);
        if (handle == nullptr) return false;
        controls_[IndexOf(control.id)] = handle;

        HFONT font = nullptr;
        if (control.font == FontKind::DefaultGui) {
            font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        } else {
            fonts_.emplace_back(CreateFont16(control.font == FontKind::NamedFace16 ? control.fontFace : TextView{}));
            font = fonts_.back().get();
        }
        SendMessageA(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // No limit of the box's own: the platform's maximum.
        if (control.controlClass == ControlClass::EditBox) SendMessageA(handle, EM_LIMITTEXT, 0, 0);

        // Each control directly below the one before it; the first on top.
        SetWindowPos(handle, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = handle;
    }
    return true;
}

HWND MainWindow::Control(ControlId id) const { return controls_[IndexOf(id)]; }

void MainWindow::SetClickHandler(ControlId button, std::function<void()> handler) {
    clickHandlers_[IndexOf(button)] = std::move(handler);
}

void MainWindow::Show() {
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
}

int MainWindow::RunMessageLoop() {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateKey(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

bool MainWindow::TranslateKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || window_ == nullptr) return false;
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
    switch (message.wParam) {
        case VK_ESCAPE:
            PostMessageA(window_, WM_CLOSE, 0, 0);
            return true;
        case VK_TAB:
            MoveFocus(GetKeyState(VK_SHIFT) < 0);
            return true;
        case VK_RETURN:
            return true;
        default:
            return false;
    }
}

void MainWindow::MoveFocus(bool backwards) {
    const auto& order = app::kMainWindow.tabOrder;
    const int count = static_cast<int>(order.size());
    const HWND focus = GetFocus();
    int current = backwards ? 0 : -1;  // from outside the order: the first, or the last going back
    for (int i = 0; i < count; ++i) {
        if (Control(order[static_cast<std::size_t>(i)]) == focus) current = i;
    }
    for (int step = 1; step <= count; ++step) {
        const int next = ((current + (backwards ? -step : step)) % count + count) % count;
        HWND candidate = Control(order[static_cast<std::size_t>(next)]);
        if (CanTakeFocus(candidate)) {
            SetFocus(candidate);
            return;
        }
    }
}

void MainWindow::FocusRememberedOrFirst() {
    if (rememberedFocus_ != nullptr && IsWindow(rememberedFocus_) && IsChild(window_, rememberedFocus_)) {
        SetFocus(rememberedFocus_);
        return;
    }
    for (const ControlId id : app::kMainWindow.tabOrder) {
        if (CanTakeFocus(Control(id))) {
            SetFocus(Control(id));
            return;
        }
    }
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return self->Dispatch(message, wParam, lParam);
}

LRESULT MainWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = window_;
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                for (const app::ControlLayout& control : app::kMainWindow.controls) {
                    auto& handler = clickHandlers_[IndexOf(control.id)];
                    if (CommandIdOf(control.id) == LOWORD(wParam) && handler) handler();
                }
                return 0;
            }
            break;
        case WM_ACTIVATE:
            // Remember where the focus was, to give it back when the window is active again.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus != nullptr && IsChild(window, focus)) rememberedFocus_ = focus;
            }
            break;
        case WM_SETFOCUS:
            FocusRememberedOrFirst();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            window_ = nullptr;
            controls_ = {};
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace veltrano::windows
