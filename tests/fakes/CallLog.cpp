#include "fakes/CallLog.h"

#include <cstdio>

namespace veltrano::fakes {

std::string CallLog::Text() const { return Lines(lines); }

std::string Lines(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) joined.append(line).append("\n");
    return joined;
}

std::string Quoted(std::string_view bytes) {
    std::string quoted = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\r': quoted += "\\r"; break;
            case '\n': quoted += "\\n"; break;
            case '\t': quoted += "\\t"; break;
            case '"': quoted += "\\\""; break;
            case '\\': quoted += "\\\\"; break;
            default:
                if (byte < 0x20 || byte > 0x7e) {
                    char escaped[5];
                    std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
                    quoted += escaped;
                } else {
                    quoted += c;
                }
        }
    }
    return quoted + "\"";
}

std::string QuotedOrNull(const char* text) { return text == nullptr ? "null" : Quoted(text); }

}  // namespace veltrano::fakes
