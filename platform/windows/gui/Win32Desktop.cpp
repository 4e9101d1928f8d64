#include "gui/Win32Desktop.h"

#include <cstring>
#include <string>

#include "app/Actions.h"

namespace veltrano::windows {

bool PutClipboardAnsiText(TextView text) {
    const OpenedClipboard clipboard;
    if (!clipboard.IsOpen()) return false;
    EmptyClipboard();
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1));
    if (!block) return false;  // the clipboard is closed empty
    {
        const LockedGlobal locked(block.get());
        if (locked.data() == nullptr) return false;
        std::memcpy(locked.data(), text.data(), text.size());  // the NUL is the zero fill
    }
    if (SetClipboardData(CF_TEXT, block.get()) == nullptr) return false;
    block.release();  // the clipboard owns it now
    return true;
}

Text Win32Desktop::GetControlText(app::ControlId control) {
    HWND handle = window_.Control(control);
    if (handle == nullptr) return {};
    const int length = GetWindowTextLengthA(handle);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(handle, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void Win32Desktop::SetControlText(app::ControlId control, TextView text) {
    HWND handle = window_.Control(control);
    if (handle == nullptr) return;
    const std::string withNul(text);
    SetWindowTextA(handle, withNul.c_str());
}

void Win32Desktop::ShowMessageBox(TextView text, std::uint32_t flags) {
    const std::string message(text);
    const std::string title(app::kInfoTitle);
    MessageBoxA(nullptr, message.c_str(), title.c_str(), flags);
}

}  // namespace veltrano::windows
