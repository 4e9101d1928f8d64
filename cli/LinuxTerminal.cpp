// The terminal speaks UTF-8; the web services are libcurl's and iconv's.
#include "cli/Terminal.h"

#include "platform/linux/web/CodePage936.h"
#include "platform/linux/web/LinuxWebPlatform.h"

namespace veltrano::cli {

web::WebPlatform ProcessWebPlatform() { return platform::linux_web::LinuxWebPlatform(); }

Text FromTerminal(std::string_view text) {
    Text gbk;
    platform::linux_web::AppendUtf8AsCodePage936({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()},
                                                 gbk);
    return gbk;
}

std::string ToTerminal(TextView text) {
    std::string utf8;
    platform::linux_web::AppendCodePage936AsUtf8(text, utf8);
    return utf8;
}

}  // namespace veltrano::cli
