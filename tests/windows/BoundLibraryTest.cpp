// wininet.dll and ole32.dll are loaded by name at the first call of one of
// their functions and freed at the end; nothing imports them.
#include <windows.h>

#include <gtest/gtest.h>

#include "bind/BoundLibrary.h"
#include "web/Internet.h"
#include "web/Win32Automation.h"
#include "web/WinInet.h"

namespace veltrano::windows {
namespace {

bool Loaded(const char* name) { return GetModuleHandleA(name) != nullptr; }

TEST(BoundLibraryTest, WinInetIsLoadedAtTheFirstCallAndFreedAtTheEnd) {
    ASSERT_FALSE(Loaded("wininet.dll")) << "imported, or loaded before any call";
    {
        const BoundLibrariesRelease release;
        WinInet internet;
        web::InternetHandle handle = internet.Open("agent", web::kOpenTypeDirect, nullptr, nullptr, 0);
        ASSERT_NE(handle, nullptr);
        EXPECT_TRUE(Loaded("wininet.dll"));
        EXPECT_TRUE(internet.CloseHandle(handle));
    }
    EXPECT_FALSE(Loaded("wininet.dll")) << "freed with the release at the end";

    // A call after the release binds afresh instead of calling into a freed library.
    WinInet internet;
    web::InternetHandle handle = internet.Open("agent", web::kOpenTypeDirect, nullptr, nullptr, 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(internet.CloseHandle(handle));
    WinInetLibrary().Free();
    EXPECT_FALSE(Loaded("wininet.dll"));
}

TEST(BoundLibraryTest, ComCallsAreBoundFromOle32AndBalanced) {
    EXPECT_FALSE(Ole32Library().IsLoaded());
    Win32Automation automation;
    automation.CoInitialize();
    EXPECT_TRUE(Ole32Library().IsLoaded());
    // Initialised by our call: a second initialisation reports S_FALSE.
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    automation.CoUninitialize();
    Ole32Library().Free();
    EXPECT_FALSE(Ole32Library().IsLoaded());
}

TEST(BoundLibraryTest, AMissingLibraryOrFunctionBindsToNothing) {
    BoundLibrary missing("no-such-library-veltrano.dll");
    BoundFunction<decltype(&::GetTickCount)> function(missing, "GetTickCount");
    EXPECT_EQ(function.Get(), nullptr);
    BoundLibrary kernel("kernel32.dll");
    BoundFunction<decltype(&::GetTickCount)> absent(kernel, "NoSuchFunctionVeltrano");
    EXPECT_EQ(absent.Get(), nullptr);
    BoundFunction<decltype(&::GetTickCount)> present(kernel, "GetTickCount");
    EXPECT_NE(present.Get(), nullptr);
    kernel.Free();
}

}  // namespace
}  // namespace veltrano::windows
