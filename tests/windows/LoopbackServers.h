// The loopback servers WithServers.sh started on the host, as a test under
// Wine sees them: script them, then read what they received.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veltrano::windows::testing {

// A script string carries bytes: each byte becomes one character U+0000-U+00FF.
std::string JsonBytes(std::string_view bytes);
// Actions of a response, in the server's order.
std::string Send(std::string_view bytes);
std::string Repeat(std::string_view piece, long count);

struct Route {
    std::string target;
    std::vector<std::string> actions;
};

struct ReceivedRequest {
    std::string head;  // request line and header lines, as received
    std::string body;
};

class LoopbackServer {
public:
    // NAME is HTTP, HTTPS_TRUSTED or HTTPS_UNTRUSTED.
    explicit LoopbackServer(const char* name);

    [[nodiscard]] int port() const { return port_; }
    [[nodiscard]] std::string Origin(std::string_view scheme = "http") const;
    // Replaces the script and forgets the requests received so far.
    void Script(const std::vector<Route>& routes) const;
    [[nodiscard]] std::vector<ReceivedRequest> Received() const;
    // Every request received: head, then body, then a rule.
    [[nodiscard]] std::string Transcript() const;

private:
    int port_ = 0;
    std::string directory_;  // a Windows path on Wine's Z: drive
};

// The test authority's certificate (PEM), read through Z:.
std::string AuthorityPem();
// A loopback port that nothing listens on.
int ClosedPort();

}  // namespace veltrano::windows::testing
