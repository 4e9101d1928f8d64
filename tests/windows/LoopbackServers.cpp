#include "LoopbackServers.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace veltrano::windows::testing {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) throw std::runtime_error(std::string(name) + " is not set: run under WithServers.sh");
    return value;
}

// A host path as Wine reaches it.
std::string OnDriveZ(const std::string& path) { return "Z:" + path; }

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// One JSON string at text[i] (its opening quote); i ends past it. Only what
// the server's json.dumps writes: escapes and \u00XX for bytes.
std::string ParseJsonString(const std::string& text, std::size_t& i) {
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
                out += static_cast<char>(std::stoi(text.substr(i, 4), nullptr, 16));
                i += 4;
                break;
            default: out += c;
        }
    }
    ++i;
    return out;
}

std::string FieldOf(const std::string& line, const std::string& name) {
    const std::string key = "\"" + name + "\": ";
    std::size_t i = line.find(key);
    if (i == std::string::npos) return {};
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

LoopbackServer::LoopbackServer(const char* name) {
    const std::string value = Environment((std::string("VELTRANO_SERVER_") + name).c_str());
    const auto bar = value.find('|');
    port_ = std::stoi(value.substr(0, bar));
    directory_ = OnDriveZ(value.substr(bar + 1));
}

std::string LoopbackServer::Origin(std::string_view scheme) const {
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_);
}

void LoopbackServer::Script(const std::vector<Route>& routes) const {
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
    json += "}}";
    const std::string staging = directory_ + "/script.json.new";
    std::ofstream(staging, std::ios::binary) << json;
    // The server reads the script afresh for each request: replace it whole.
    MoveFileExA(staging.c_str(), (directory_ + "/script.json").c_str(), MOVEFILE_REPLACE_EXISTING);
    std::ofstream(directory_ + "/log.jsonl", std::ios::binary | std::ios::trunc);
}

std::vector<ReceivedRequest> LoopbackServer::Received() const {
    std::vector<ReceivedRequest> received;
    std::istringstream log(ReadFile(directory_ + "/log.jsonl"));
    std::string line;
    while (std::getline(log, line)) {
        if (!line.empty()) received.push_back({FieldOf(line, "head"), FieldOf(line, "body")});
    }
    return received;
}

std::string LoopbackServer::Transcript() const {
    std::string transcript;
    for (const auto& request : Received()) transcript += request.head + request.body + "\n----\n";
    return transcript;
}

std::string AuthorityPem() { return ReadFile(OnDriveZ(Environment("VELTRANO_TEST_AUTHORITY"))); }

int ClosedPort() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(s);  // bound but never listening, then released
    WSACleanup();
    return ntohs(address.sin_port);
}

}  // namespace veltrano::windows::testing
