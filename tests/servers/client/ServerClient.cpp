#include "servers/client/ServerClient.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace veltrano::testing {
namespace {

// One JSON string starting at text[i] (at its opening quote); i ends past it.
// Only what Python's json.dumps writes: escapes and \u00XX for bytes.
std::string ParseJsonString(std::string_view text, std::size_t& i) {
    std::string out;
    ++i;
    while (i < text.size() && text[i] != '"') {
        char c = text[i++];
        if (c != '\\') {
            out += c;
            continue;
        }
        c = text[i++];
        switch (c) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'u':
                out += static_cast<char>(std::stoi(std::string(text.substr(i, 4)), nullptr, 16));
                i += 4;
                break;
            default: out += c;
        }
    }
    ++i;
    return out;
}

std::string FieldOf(std::string_view line, std::string_view name) {
    std::string key = "\"";  // appended, not added: GCC 12 warns falsely on "x" + string
    key.append(name).append("\": ");
    std::size_t i = line.find(key);
    if (i == std::string_view::npos) return {};
    i += key.size();
    return ParseJsonString(line, i);
}

}  // namespace

std::string JsonBytes(std::string_view bytes) {
    std::string json = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            json += '\\';
            json += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            json += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            json += escaped;
        }
    }
    return json + "\"";
}

std::string Send(std::string_view bytes) { return "{\"send\": " + JsonBytes(bytes) + "}"; }
std::string Repeat(std::string_view piece, long count) {
    return "{\"repeat\": " + JsonBytes(piece) + ", \"count\": " + std::to_string(count) + "}";
}
std::string SendFile(std::string_view path) { return "{\"file\": " + JsonBytes(path) + "}"; }
std::string Sleep(double seconds) { return "{\"sleep\": " + std::to_string(seconds) + "}"; }
std::string Stall() { return "{\"stall\": true}"; }

std::string ScriptJson(const std::vector<Route>& routes) {
    std::string json = "{\"routes\": {";
    for (std::size_t r = 0; r < routes.size(); ++r) {
        if (r > 0) json += ", ";
        json += JsonBytes(routes[r].target) + ": [";
        for (std::size_t a = 0; a < routes[r].actions.size(); ++a) {
            if (a > 0) json += ", ";
            json += routes[r].actions[a];
        }
        json += "]";
    }
    return json + "}}";
}

std::vector<ReceivedRequest> ParseReceived(std::string_view jsonLines) {
    std::vector<ReceivedRequest> received;
    while (!jsonLines.empty()) {
        const auto end = jsonLines.find('\n');
        const std::string_view line = jsonLines.substr(0, end);
        jsonLines = end == std::string_view::npos ? std::string_view() : jsonLines.substr(end + 1);
        if (!line.empty()) received.push_back({FieldOf(line, "head"), FieldOf(line, "body")});
    }
    return received;
}

std::string TranscriptOf(const std::vector<ReceivedRequest>& received) {
    std::string transcript;
    for (const auto& request : received) transcript += request.head + request.body + "\n----\n";
    return transcript;
}

void ServerFiles::Script(const std::vector<Route>& routes) const {
    // The server may be reading the script right now: write aside, then
    // rename over it, so it sees the old script or the new one, never half.
    const std::string staging = directory_ + "/script.json.new";
    std::ofstream(staging, std::ios::binary) << ScriptJson(routes);
    std::filesystem::rename(staging, directory_ + "/script.json");
    std::ofstream(directory_ + "/log.jsonl", std::ios::binary | std::ios::trunc);
}

std::vector<ReceivedRequest> ServerFiles::Received() const {
    std::ifstream log(directory_ + "/log.jsonl", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(log), {}};
    return ParseReceived(text);
}

}  // namespace veltrano::testing
