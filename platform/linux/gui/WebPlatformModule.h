// The entry point of the web platform module (libveltrano-web.so).
#pragma once

#include "web/FetchPage.h"

// The process's libcurl and iconv web platform, made at the first call.
extern "C" {
using VeltranoWebPlatformEntry = const veltrano::web::WebPlatform* (*)();
}
inline constexpr const char* kWebPlatformEntryName = "veltrano_web_platform";
inline constexpr const char* kWebPlatformModuleName = "libveltrano-web.so";
