// Arguments and standard input arrive in the ANSI code page (GBK), as the
// window's texts are; output goes out in the console's code page.
#include "cli/Terminal.h"

#include <windows.h>

#include "web/Win32Automation.h"
#include "web/WinInet.h"

namespace veltrano::cli {

web::WebPlatform ProcessWebPlatform() {
    static windows::WinInet internet;
    static windows::Win32Automation automation;
    return {internet, automation};
}

Text FromTerminal(std::string_view text) { return Text(text); }

std::string ToTerminal(TextView text) {
    const UINT console = GetConsoleOutputCP();
    // No console, or one in the ANSI code page: the text goes out as it is.
    if (console == 0 || console == GetACP() || text.empty()) return std::string(text);
    const int length = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, utf16.data(), wide);
    const int narrow = WideCharToMultiByte(console, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(console, 0, utf16.data(), wide, out.data(), narrow, nullptr, nullptr);
    return out;
}

}  // namespace veltrano::cli
