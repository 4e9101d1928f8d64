// veltrano-cli: the window's parse step for scripts and terminals. Fetches each
// page address with the very request the window makes, and prints the video
// address cut from its script, one per line, in the terminal's encoding
// (UTF-8 on Linux, the console's code page on Windows).
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/VideoAddress.h"
#include "cli/Terminal.h"

namespace {

using veltrano::app::ParseOutcome;

// Exit statuses: the highest of the addresses' wins.
constexpr int kAllFound = 0;
constexpr int kNoAddress = 1;
constexpr int kFetchFailed = 2;
constexpr int kUsage = 64;

constexpr std::string_view kUsageText =
    "Usage: veltrano-cli [ADDRESS...]\n"
    "Prints the direct video address of each web page address, one per line.\n"
    "With no ADDRESS, reads the addresses from standard input, one per line.\n"
    "\n"
    "Exit status: 0 every page gave a video address; 1 a page held none;\n"
    "2 a page could not be fetched; 64 wrong usage. With several addresses,\n"
    "the highest of theirs.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

// The address as it goes into a message: one line, control bytes written out.
std::string Printable(std::string_view address) {
    std::string printable;
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            printable += escaped;
        } else {
            printable += c;
        }
    }
    return printable;
}

int ParseOne(std::string_view address) {
    const auto parsed =
        veltrano::app::ParseVideoAddress(veltrano::cli::ProcessWebPlatform(), veltrano::cli::FromTerminal(address));
    switch (parsed.outcome) {
        case ParseOutcome::Found:
            std::cout << veltrano::cli::ToTerminal(parsed.videoAddress) << '\n' << std::flush;
            return kAllFound;
        case ParseOutcome::NoAddress:
            std::cerr << "veltrano-cli: " << Printable(address) << ": no video address in the page\n";
            return kNoAddress;
        case ParseOutcome::FetchFailed:
            break;
    }
    std::cerr << "veltrano-cli: " << Printable(address)
              << ": could not fetch the page: no response (bad address, refused, unresolvable, timed out or "
                 "untrusted certificate)\n";
    return kFetchFailed;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> addresses;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == "--help" || argument == "-h")) {
            std::cout << kUsageText;
            return 0;
        } else if (!optionsEnded && argument == "--version") {
            std::cout << "veltrano-cli " VELTRANO_VERSION "\n";
            return 0;
        } else if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            std::cerr << "veltrano-cli: unknown option " << Printable(argument) << "\n" << kUsageText;
            return kUsage;
        } else {
            addresses.emplace_back(argument);
        }
    }
    const bool fromInput = addresses.empty();
    if (fromInput) {
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find_first_not_of(" \t") != std::string::npos) addresses.push_back(line);
        }
        if (addresses.empty()) {
            std::cerr << "veltrano-cli: no address given\n" << kUsageText;
            return kUsage;
        }
    }
    int status = kAllFound;
    for (const auto& address : addresses) status = std::max(status, ParseOne(address));
    return status;
}
