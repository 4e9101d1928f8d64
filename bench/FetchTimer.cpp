// Times FetchPage as the window's button makes it, inside this process, so a
// platform's process start-up (Wine's above all) stays out of the figure.
// Usage: fetch_timer ADDRESS [RUNS]; prints "seconds=BEST bytes=N".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/Terminal.h"
#include "web/FetchPage.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fputs("usage: fetch_timer ADDRESS [RUNS]\n", stderr);
        return 64;
    }
    const std::string address = argv[1];
    const int runs = argc == 3 ? std::atoi(argv[2]) : 3;
    double best = 0;
    std::size_t bytes = 0;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const veltrano::Text page = veltrano::web::FetchPage(veltrano::cli::ProcessWebPlatform(), address);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (page.empty()) {
            std::fprintf(stderr, "fetch_timer: no page from %s\n", address.c_str());
            return 1;
        }
        if (run == 0 || seconds < best) best = seconds;
        bytes = page.size();
    }
    std::printf("seconds=%.6f bytes=%zu\n", best, bytes);
    return 0;
}
