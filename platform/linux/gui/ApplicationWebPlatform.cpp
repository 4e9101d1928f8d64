#include "platform/linux/gui/ApplicationWebPlatform.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/linux/gui/WebPlatformModule.h"

namespace veltrano::linuxgui {

namespace {

class UnavailableInternet final : public web::Internet {
public:
    web::InternetHandle Open(const char*, std::uint32_t, const char*, const char*, std::uint32_t) override {
        return nullptr;
    }
    web::InternetHandle Connect(web::InternetHandle, const char*, std::uint16_t, const char*, const char*,
                                std::uint32_t, std::uint32_t, std::uintptr_t) override {
        return nullptr;
    }
    web::InternetHandle OpenRequest(web::InternetHandle, const char*, const char*, const char*, const char*,
                                    const char**, std::uint32_t, std::uintptr_t) override {
        return nullptr;
    }
    bool SendRequest(web::InternetHandle, const char*, std::uint32_t, const void*, std::uint32_t) override {
        return false;
    }
    bool ReadFile(web::InternetHandle, void*, std::uint32_t, std::uint32_t*) override { return false; }
    bool QueryInfo(web::InternetHandle, std::uint32_t, void*, std::uint32_t*, std::uint32_t*) override {
        return false;
    }
    bool CloseHandle(web::InternetHandle) override { return false; }
};

class UnavailableAutomation final : public web::Automation {
public:
    void CoInitialize() override {}
    void CoUninitialize() override {}
    std::unique_ptr<web::CharsetStream> CreateObject(TextView) override { return nullptr; }
};

// The loaded module, closed when the process ends.
class WebModule {
public:
    WebModule() {
        std::error_code error;
        const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
        const std::filesystem::path directory = program.parent_path();
        // Beside the program in the build tree; in its library folder once installed.
        for (const std::filesystem::path& candidate :
             {directory / kWebPlatformModuleName,
              directory / VELTRANO_WEB_MODULE_DIR_FROM_PROGRAM / kWebPlatformModuleName}) {
            handle_ = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle_ != nullptr) return;
        }
        std::fprintf(stderr, "veltrano: the web module %s could not be loaded: %s\n", kWebPlatformModuleName,
                     dlerror());
    }
    ~WebModule() {
        if (handle_ != nullptr) dlclose(handle_);
    }
    WebModule(const WebModule&) = delete;
    WebModule& operator=(const WebModule&) = delete;

    [[nodiscard]] const web::WebPlatform* platform() const {
        if (handle_ == nullptr) return nullptr;
        const auto entry = reinterpret_cast<VeltranoWebPlatformEntry>(dlsym(handle_, kWebPlatformEntryName));
        return entry != nullptr ? entry() : nullptr;
    }

private:
    void* handle_ = nullptr;
};

}  // namespace

web::WebPlatform ApplicationWebPlatform() {
    static const WebModule module;
    if (const web::WebPlatform* platform = module.platform()) return *platform;
    static UnavailableInternet internet;
    static UnavailableAutomation automation;
    return {internet, automation};
}

}  // namespace veltrano::linuxgui
