#include "gui/LabelControl.h"

#include <string>

namespace veltrano::windows {
namespace {

constexpr int kFontSlot = 0;  // window extra bytes: the font set by WM_SETFONT

void Paint(HWND label) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(label, &paint);
    RECT area;
    GetClientRect(label, &area);
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));

    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(label)) + 1, '\0');
    const int length = GetWindowTextA(label, text.data(), static_cast<int>(text.size()));
    const auto font = reinterpret_cast<HFONT>(GetWindowLongPtrA(label, kFontSlot));
    const HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if ((static_cast<DWORD>(GetWindowLongPtrA(label, GWL_STYLE)) & kLabelCentred) != 0) format |= DT_CENTER;
    DrawTextA(dc, text.data(), length, &area, format);
    if (previous != nullptr) SelectObject(dc, previous);
    EndPaint(label, &paint);
}

LRESULT CALLBACK LabelProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint(label);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint fills every pixel
        case WM_SETFONT:
            SetWindowLongPtrA(label, kFontSlot, static_cast<LONG_PTR>(wParam));
            if (LOWORD(lParam) != 0) InvalidateRect(label, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return GetWindowLongPtrA(label, kFontSlot);
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcA(label, message, wParam, lParam);
            InvalidateRect(label, nullptr, TRUE);
            return result;
        }
        default:
            return DefWindowProcA(label, message, wParam, lParam);
    }
}

}  // namespace

RegisteredClass RegisterLabelClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &LabelProcedure;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kLabelClassName;
    return {instance, kLabelClassName, RegisterClassExA(&windowClass)};
}

}  // namespace veltrano::windows
