#include "web/Win32Automation.h"

#include <objbase.h>
#include <windows.h>

#include <algorithm>

#include "bind/BoundLibrary.h"
#include "web/ConvertCharset.h"
#include "web/Win32CharsetStream.h"

namespace veltrano::windows {
namespace {

BoundFunction<decltype(&::CoInitialize)>& BoundCoInitialize() {
    static BoundFunction<decltype(&::CoInitialize)> function(Ole32Library(), "CoInitialize");
    return function;
}

BoundFunction<decltype(&::CoUninitialize)>& BoundCoUninitialize() {
    static BoundFunction<decltype(&::CoUninitialize)> function(Ole32Library(), "CoUninitialize");
    return function;
}

bool EqualsIgnoringCase(TextView a, TextView b) { return TextCompare(TextToLower(a), TextToLower(b)) == 0; }

}  // namespace

void Win32Automation::CoInitialize() {
    // The result is not used: a thread already initialised stays so, and the counts balance.
    if (const auto initialize = BoundCoInitialize().Get()) static_cast<void>(initialize(nullptr));
}

void Win32Automation::CoUninitialize() {
    if (const auto uninitialize = BoundCoUninitialize().Get()) uninitialize();
}

std::unique_ptr<web::CharsetStream> Win32Automation::CreateObject(TextView progId) {
    if (!EqualsIgnoringCase(progId, web::kStreamProgId)) return nullptr;
    return std::make_unique<Win32CharsetStream>();
}

}  // namespace veltrano::windows
