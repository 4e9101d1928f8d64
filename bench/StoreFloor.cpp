// The floor of the fetch benchmark: the least a program does to keep a page it
// downloads and find the video address in it. libcurl's easy interface, the
// page stored once into a text reserved from Content-Length (no growth, no
// copy), the program's huge-page allocator, and one memmem for each marker.
// Usage: store_floor ADDRESS; prints the video address, as veltrano-cli does.
#include <curl/curl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "app/VideoAddress.h"

namespace {

using veltrano::app::kVideoLeftMarker;
using veltrano::app::kVideoRightMarker;

struct Download {
    CURL* easy = nullptr;
    std::string page;
};

std::size_t Keep(char* data, std::size_t size, std::size_t count, void* context) {
    auto& download = *static_cast<Download*>(context);
    if (download.page.empty()) {
        curl_off_t length = -1;
        if (curl_easy_getinfo(download.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK && length > 0) {
            download.page.reserve(static_cast<std::size_t>(length));
        }
    }
    download.page.append(data, size * count);
    return size * count;
}

const char* Find(std::string_view text, std::string_view marker) {
    return static_cast<const char*>(memmem(text.data(), text.size(), marker.data(), marker.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: store_floor ADDRESS\n", stderr);
        return 64;
    }
    Download download;
    download.easy = curl_easy_init();
    if (download.easy == nullptr) return 2;
    curl_easy_setopt(download.easy, CURLOPT_URL, argv[1]);
    curl_easy_setopt(download.easy, CURLOPT_WRITEFUNCTION, &Keep);
    curl_easy_setopt(download.easy, CURLOPT_WRITEDATA, &download);
    const CURLcode result = curl_easy_perform(download.easy);
    curl_easy_cleanup(download.easy);
    if (result != CURLE_OK) return 2;

    const std::string_view page = download.page;
    const char* left = Find(page, kVideoLeftMarker);
    if (left == nullptr) return 1;
    const std::string_view rest = page.substr(static_cast<std::size_t>(left - page.data()) + kVideoLeftMarker.size());
    const char* right = Find(rest, kVideoRightMarker);
    if (right == nullptr) return 1;
    std::printf("%.*s\n", static_cast<int>(right - rest.data()), rest.data());
    return 0;
}
