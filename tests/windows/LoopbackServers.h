// The loopback servers WithServers.sh started on the host, as a test under
// Wine sees them: found through the environment, their files on Z:.
// Scripting and reading back are portable (servers/client/ServerClient.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "servers/client/ServerClient.h"

namespace veltrano::windows::testing {

using veltrano::testing::ReceivedRequest;
using veltrano::testing::Repeat;
using veltrano::testing::Route;
using veltrano::testing::Send;
using veltrano::testing::ServerFiles;

class LoopbackServer {
public:
    // NAME is HTTP, HTTPS_TRUSTED or HTTPS_UNTRUSTED.
    explicit LoopbackServer(const char* name);

    [[nodiscard]] int port() const { return port_; }
    [[nodiscard]] std::string Origin(std::string_view scheme = "http") const;
    // Replaces the script and forgets the requests received so far.
    void Script(const std::vector<Route>& routes) const { files_.Script(routes); }
    [[nodiscard]] std::vector<ReceivedRequest> Received() const { return files_.Received(); }
    // Every request received: head, then body, then a rule.
    [[nodiscard]] std::string Transcript() const { return files_.Transcript(); }

private:
    int port_ = 0;
    ServerFiles files_;  // a Windows path on Wine's Z: drive
};

// The test authority's certificate (PEM), read through Z:.
std::string AuthorityPem();
// A loopback port that nothing listens on.
int ClosedPort();

}  // namespace veltrano::windows::testing
