// Times ConvertCharset (UTF-8 to GBK, as the fetcher calls it) on the real
// Linux stream over one file, best of a few runs. Prints "seconds=S bytes=N".
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/linux/web/IconvStream.h"
#include "web/ConvertCharset.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: convert_timer FILE\n");
        return 64;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const veltrano::Bytes data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    veltrano::platform::linux_web::IconvAutomation automation;
    double best = 1e9;
    std::size_t produced = 0;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const veltrano::Bytes result = veltrano::web::ConvertCharset(automation, data);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        produced = result.size();
    }
    std::printf("seconds=%.6f bytes=%zu\n", best, produced);
    return produced == 0 ? 1 : 0;
}
