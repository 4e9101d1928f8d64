// System libraries bound by name: a DLL is loaded at the first look-up of one
// of its functions, and each function is looked up at its own first call.
// These bindings are the program's only globals.
#pragma once

#include <windows.h>

#include <cstdint>

namespace veltrano::windows {

class BoundLibrary {
public:
    explicit constexpr BoundLibrary(const char* fileName) : fileName_(fileName) {}
    BoundLibrary(const BoundLibrary&) = delete;
    BoundLibrary& operator=(const BoundLibrary&) = delete;

    // nullptr when the library or the function is missing.
    [[nodiscard]] FARPROC Symbol(const char* name);
    // Frees the library if it was loaded; functions bound from it bind again on their next call.
    void Free();
    [[nodiscard]] bool IsLoaded() const { return module_ != nullptr; }
    // Changes each time the library is freed, so cached functions know to look again.
    [[nodiscard]] std::uint32_t Generation() const { return generation_; }

private:
    const char* fileName_;
    HMODULE module_ = nullptr;
    std::uint32_t generation_ = 0;
};

// Pointer is the function's pointer type, as decltype(&::Name) gives it.
template <class Pointer>
class BoundFunction {
public:
    constexpr BoundFunction(BoundLibrary& library, const char* name) : library_(library), name_(name) {}
    BoundFunction(const BoundFunction&) = delete;
    BoundFunction& operator=(const BoundFunction&) = delete;

    // nullptr when it cannot be bound.
    [[nodiscard]] Pointer Get() {
        if (pointer_ == nullptr || generation_ != library_.Generation()) {
            // void(*)() is the one function type every other converts to without a warning.
            pointer_ = reinterpret_cast<Pointer>(reinterpret_cast<void (*)()>(library_.Symbol(name_)));
            generation_ = library_.Generation();
        }
        return pointer_;
    }

private:
    BoundLibrary& library_;
    const char* name_;
    Pointer pointer_ = nullptr;
    std::uint32_t generation_ = 0;
};

// The two libraries the program binds by name.
BoundLibrary& WinInetLibrary();
BoundLibrary& Ole32Library();

// Frees both where they were loaded: the end of the process, before its icons and OLE go.
class BoundLibrariesRelease {
public:
    BoundLibrariesRelease() = default;
    BoundLibrariesRelease(const BoundLibrariesRelease&) = delete;
    BoundLibrariesRelease& operator=(const BoundLibrariesRelease&) = delete;
    ~BoundLibrariesRelease() {
        WinInetLibrary().Free();
        Ole32Library().Free();
    }
};

}  // namespace veltrano::windows
