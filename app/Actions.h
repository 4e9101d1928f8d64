// The two button actions of the main window.
#pragma once

#include "app/Desktop.h"
#include "app/VideoAddress.h"
#include "web/FetchPage.h"

namespace veltrano::app {

inline constexpr TextView kInfoTitle = "\xd0\xc5\xcf\xa2\xa3\xba";  // 信息：
inline constexpr TextView kCopiedMessage =                          // 下载地址复制成功！
    "\xcf\xc2\xd4\xd8\xb5\xd8\xd6\xb7\xb8\xb4\xd6\xc6\xb3\xc9\xb9\xa6\xa3\xa1";
inline constexpr TextView kFetchFailedMessage =  // 页面下载失败，请检查网址和网络连接。
    "\xd2\xb3\xc3\xe6\xcf\xc2\xd4\xd8\xca\xa7\xb0\xdc\xa3\xac\xc7\xeb\xbc\xec\xb2\xe9\xcd\xf8\xd6\xb7\xba\xcd"
    "\xcd\xf8\xc2\xe7\xc1\xac\xbd\xd3\xa1\xa3";
inline constexpr TextView kNoAddressMessage =  // 页面中未找到视频地址。
    "\xd2\xb3\xc3\xe6\xd6\xd0\xce\xb4\xd5\xd2\xb5\xbd\xca\xd3\xc6\xb5\xb5\xd8\xd6\xb7\xa1\xa3";
inline constexpr TextView kClipboardFailedMessage =  // 无法写入剪贴板，请稍后重试。
    "\xce\xde\xb7\xa8\xd0\xb4\xc8\xeb\xbc\xf4\xcc\xf9\xb0\xe5\xa3\xac\xc7\xeb\xc9\xd4\xba\xf3\xd6\xd8\xca\xd4"
    "\xa1\xa3";

// Empties both edit boxes; touches nothing else.
void ClearBoxes(Desktop& desktop);

// Fetches the page named in 编辑框1, writes the video address into 编辑框2 and
// copies what the box then holds. Failures are told apart and reported; the
// clipboard is left alone on every failure.
void ParseAndCopy(Desktop& desktop, web::WebPlatform platform);

}  // namespace veltrano::app
