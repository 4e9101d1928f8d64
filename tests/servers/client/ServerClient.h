// The test's side of a scripted loopback server (tests/servers/scripted_server.py):
// the script it answers from, the record of what it received, and the two
// files through which they pass. Plain C++, the same on every platform.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrano::testing {

// A script string carries bytes: each byte becomes one character U+0000-U+00FF.
std::string JsonBytes(std::string_view bytes);

// Actions of a response, as the server runs them in order.
std::string Send(std::string_view bytes);
std::string Repeat(std::string_view piece, long count);
std::string SendFile(std::string_view path);
std::string Sleep(double seconds);
std::string Stall();

struct Route {
    std::string target;
    std::vector<std::string> actions;
};

struct ReceivedRequest {
    std::string head;  // request line and header lines, as received
    std::string body;
};

std::string ScriptJson(const std::vector<Route>& routes);
// The server's record: one JSON line per request.
std::vector<ReceivedRequest> ParseReceived(std::string_view jsonLines);
// Every request as one text: head, then body, then a rule.
std::string TranscriptOf(const std::vector<ReceivedRequest>& received);

// The directory a server reads script.json from (afresh for each request)
// and appends log.jsonl to, in a path this program can open.
class ServerFiles {
public:
    explicit ServerFiles(std::string directory) : directory_(std::move(directory)) {}

    [[nodiscard]] const std::string& directory() const { return directory_; }
    // Replaces the script whole and forgets the requests received so far.
    void Script(const std::vector<Route>& routes) const;
    [[nodiscard]] std::vector<ReceivedRequest> Received() const;
    [[nodiscard]] std::string Transcript() const { return TranscriptOf(Received()); }

private:
    std::string directory_;
};

}  // namespace veltrano::testing
