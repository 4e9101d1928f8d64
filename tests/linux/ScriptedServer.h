// A scripted loopback server (tests/servers/scripted_server.py) run by a test:
// started on a free port, given a script of exact responses, read back for
// the requests it received, stopped when the object goes.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>
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
    void Script(const std::vector<Route>& routes);
    [[nodiscard]] std::vector<ReceivedRequest> Received() const;
    // Every request received, as one text: head, then body, then a rule.
    [[nodiscard]] std::string Transcript() const;

private:
    std::string directory_;
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
