// A scripted loopback server (tests/servers/scripted_server.py) run by a test:
// spawned on a free port with its files in a fresh temporary directory,
// stopped when the object goes. Scripting and reading back are portable
// (servers/client/ServerClient.h).
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <vector>

#include "servers/client/ServerClient.h"

namespace veltrano::testing {

struct ServerTls {
    std::string certificate;
    std::string key;
};

class ScriptedServer {
public:
    explicit ScriptedServer(const ServerTls& tls = {});
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    [[nodiscard]] int port() const { return port_; }
    [[nodiscard]] std::string Origin(std::string_view scheme = "http") const;

    // Replaces the script and forgets the requests received so far.
    void Script(const std::vector<Route>& routes) { files_.Script(routes); }
    [[nodiscard]] std::vector<ReceivedRequest> Received() const { return files_.Received(); }
    // Every request received, as one text: head, then body, then a rule.
    [[nodiscard]] std::string Transcript() const { return files_.Transcript(); }

private:
    ServerFiles files_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// A throw-away authority and certificates (tests/servers/make_test_certs.sh),
// made once per test program.
struct TestCertificates {
    std::string authority;  // ca.pem
    ServerTls trusted;
    ServerTls untrusted;
};
const TestCertificates& Certificates();

// A loopback port that nothing listens on.
int ClosedPort();

// Runs a program, returning its exit status, standard output and standard error.
struct ProgramResult {
    int status = -1;
    std::string out;
    std::string err;
};
ProgramResult RunProgram(const std::vector<std::string>& arguments, std::string_view input = {},
                         const std::vector<std::pair<std::string, std::string>>& environment = {});

}  // namespace veltrano::testing
