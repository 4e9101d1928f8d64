// Throughput of the text search against memmem, and the growth of replace,
// split and trim with the page size. Prints "NAME ratio=X" lines at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "text/Text.h"

namespace {

using veltrano::Text;

constexpr std::size_t kMiB = 1024 * 1024;
constexpr char kMarker[] = "var videoUrl = \"";

// HTML-like ASCII lines, the marker at the very end.
Text AsciiPage(std::size_t size) {
    std::mt19937 random(1);
    Text page;
    page.reserve(size + 64);
    while (page.size() + 64 < size) {
        page += "<li class=\"item\"><a href=\"/watch/" + std::to_string(random() % 100000) + "\">Episode " +
                std::to_string(random() % 1000) + "</a></li>\r\n";
    }
    page.resize(size - sizeof kMarker + 1, ' ');
    page += kMarker;
    return page;
}

// About half the bytes in double-byte characters (trail bytes above 0x80 too),
// the rest ASCII markup; the marker at the very end.
Text GbkPage(std::size_t size) {
    std::mt19937 random(2);
    Text page;
    page.reserve(size + 64);
    while (page.size() + 64 < size) {
        for (int i = 0; i < 12; ++i) {
            page += static_cast<char>(0xB0 + random() % 0x48);
            page += static_cast<char>(0xA1 + random() % 0x5E);
        }
        page += "<p class=\"t\">" + std::to_string(random() % 1000) + "</p>\r\n";
    }
    page.resize(size - sizeof kMarker + 1, ' ');
    page += kMarker;
    return page;
}

const Text& Page(bool gbk, std::size_t size) {
    static std::map<std::pair<bool, std::size_t>, Text> pages;
    auto [it, inserted] = pages.try_emplace({gbk, size});
    if (inserted) it->second = gbk ? GbkPage(size) : AsciiPage(size);
    return it->second;
}

void FindMarker(benchmark::State& state, bool gbk) {
    const Text& page = Page(gbk, 64 * kMiB);
    for (auto _ : state) benchmark::DoNotOptimize(veltrano::TextFind(page, kMarker, 0, true));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}

void MemmemMarker(benchmark::State& state, bool gbk) {
    const Text& page = Page(gbk, 64 * kMiB);
    for (auto _ : state) benchmark::DoNotOptimize(memmem(page.data(), page.size(), kMarker, sizeof kMarker - 1));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}

const Text& LinearPage(benchmark::State& state) { return Page(true, static_cast<std::size_t>(state.range(0)) * kMiB); }

void Replace(benchmark::State& state) {
    const Text& page = LinearPage(state);
    for (auto _ : state) benchmark::DoNotOptimize(veltrano::TextReplace(page, "class", "CLASS", false));
}

void Split(benchmark::State& state) {
    const Text& page = LinearPage(state);
    for (auto _ : state) benchmark::DoNotOptimize(veltrano::TextSplit(page, "\r\n"));
}

void Trim(benchmark::State& state) {
    const Text padded = "  " + LinearPage(state) + " \xa1\xa1 ";
    for (auto _ : state) benchmark::DoNotOptimize(veltrano::TextTrim(padded));
}

BENCHMARK_CAPTURE(FindMarker, ascii, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MemmemMarker, ascii, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FindMarker, gbk, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MemmemMarker, gbk, true)->Unit(benchmark::kMillisecond);
BENCHMARK(Replace)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(Split)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(Trim)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);

// Keeps each run's time per iteration, by name, to print the ratios.
class CapturingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) seconds[run.benchmark_name()] = run.real_accumulated_time / static_cast<double>(run.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CapturingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& t = reporter.seconds;
    std::printf("find_ascii_vs_memmem ratio=%.2f\n", t["MemmemMarker/ascii"] / t["FindMarker/ascii"]);
    std::printf("find_gbk_vs_memmem ratio=%.2f\n", t["MemmemMarker/gbk"] / t["FindMarker/gbk"]);
    const double large = t["Replace/16"] + t["Split/16"] + t["Trim/16"];
    const double small = t["Replace/1"] + t["Split/1"] + t["Trim/1"];
    std::printf("replace_split_trim_linear ratio=%.2f\n", large / small);
    benchmark::Shutdown();
    return 0;
}
