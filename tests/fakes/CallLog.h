// The transcript that recording fakes write: one line per call, in call order.
// Several fakes may share one log, so a case reads as a single exchange.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veltrano::fakes {

struct CallLog {
    std::vector<std::string> lines;

    void Add(std::string line) { lines.push_back(std::move(line)); }
    // The lines joined by "\n", each ended by one; compare it whole, failures show a diff.
    [[nodiscard]] std::string Text() const;
};

// Joins expected lines the way CallLog::Text does.
[[nodiscard]] std::string Lines(const std::vector<std::string>& lines);

// A byte string as a transcript shows it: quoted, with \r, \n, \t, \", \\ and any
// byte outside 0x20-0x7E escaped (\xNN).
[[nodiscard]] std::string Quoted(std::string_view bytes);
// Quoted text up to its NUL, or null for a null pointer.
[[nodiscard]] std::string QuotedOrNull(const char* text);

}  // namespace veltrano::fakes
