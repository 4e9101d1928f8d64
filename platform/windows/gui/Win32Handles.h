// One owner per Win32 handle, each with its close function built in, so that
// scopes close them in reverse order of opening on every path.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <utility>

namespace veltrano::windows {

template <class Handle, void (*Close)(Handle)>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    [[nodiscard]] Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Gives the handle up to a new owner (the clipboard, for a memory block).
    Handle release() { return std::exchange(handle_, nullptr); }
    void reset() {
        if (handle_ != nullptr) Close(std::exchange(handle_, nullptr));
    }

private:
    Handle handle_ = nullptr;
};

inline void DeleteFont(HFONT font) { DeleteObject(font); }
inline void DestroyIconHandle(HICON icon) { DestroyIcon(icon); }
inline void FreeGlobal(HGLOBAL block) { GlobalFree(block); }

using UniqueFont = UniqueHandle<HFONT, &DeleteFont>;
using UniqueIcon = UniqueHandle<HICON, &DestroyIconHandle>;
using UniqueGlobal = UniqueHandle<HGLOBAL, &FreeGlobal>;

// A registered window class, unregistered when it goes.
class RegisteredClass {
public:
    RegisteredClass() = default;
    RegisteredClass(HINSTANCE instance, const char* name, ATOM atom) : instance_(instance), name_(name), atom_(atom) {}
    RegisteredClass(RegisteredClass&& other) noexcept
        : instance_(other.instance_), name_(other.name_), atom_(std::exchange(other.atom_, ATOM{0})) {}
    RegisteredClass& operator=(RegisteredClass&& other) noexcept {
        if (this != &other) {
            Unregister();
            instance_ = other.instance_;
            name_ = other.name_;
            atom_ = std::exchange(other.atom_, ATOM{0});
        }
        return *this;
    }
    RegisteredClass(const RegisteredClass&) = delete;
    RegisteredClass& operator=(const RegisteredClass&) = delete;
    ~RegisteredClass() { Unregister(); }
    explicit operator bool() const { return atom_ != 0; }

private:
    void Unregister() {
        if (atom_ != 0) UnregisterClassA(name_, instance_);
        atom_ = 0;
    }

    HINSTANCE instance_ = nullptr;
    const char* name_ = nullptr;
    ATOM atom_ = 0;
};

// OLE for the process's one thread, from start to the very end.
class OleSession {
public:
    OleSession() : initialised_(SUCCEEDED(OleInitialize(nullptr))) {}
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    ~OleSession() {
        if (initialised_) OleUninitialize();
    }

private:
    bool initialised_;
};

// The clipboard, opened with no owner window and closed when this goes.
class OpenedClipboard {
public:
    OpenedClipboard() : open_(OpenClipboard(nullptr) != FALSE) {}
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    [[nodiscard]] bool IsOpen() const { return open_; }

private:
    bool open_;
};

// A movable memory block locked for writing, unlocked when this goes.
class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL block) : block_(block), data_(GlobalLock(block)) {}
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    ~LockedGlobal() {
        if (data_ != nullptr) GlobalUnlock(block_);
    }
    [[nodiscard]] void* data() const { return data_; }

private:
    HGLOBAL block_;
    void* data_;
};

}  // namespace veltrano::windows
