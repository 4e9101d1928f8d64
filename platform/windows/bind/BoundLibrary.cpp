#include "bind/BoundLibrary.h"

namespace veltrano::windows {

FARPROC BoundLibrary::Symbol(const char* name) {
    if (module_ == nullptr) module_ = LoadLibraryA(fileName_);
    if (module_ == nullptr) return nullptr;
    return GetProcAddress(module_, name);
}

void BoundLibrary::Free() {
    if (module_ == nullptr) return;
    FreeLibrary(module_);
    module_ = nullptr;
    ++generation_;
}

BoundLibrary& WinInetLibrary() {
    static BoundLibrary library("wininet.dll");
    return library;
}

BoundLibrary& Ole32Library() {
    static BoundLibrary library("ole32.dll");
    return library;
}

}  // namespace veltrano::windows
