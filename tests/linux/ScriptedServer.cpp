#include "ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace veltrano::testing {
namespace {

std::string MakeTempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "veltrano-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

}  // namespace

ScriptedServer::ScriptedServer(const ServerTls& tls) : files_(MakeTempDirectory()) {
    Script({});
    std::vector<std::string> arguments = {"python3", VELTRANO_SERVERS_DIR "/scripted_server.py",
                                          "--script", files_.directory() + "/script.json",
                                          "--log", files_.directory() + "/log.jsonl"};
    if (!tls.certificate.empty()) {
        arguments.insert(arguments.end(), {"--tls-cert", tls.certificate, "--tls-key", tls.key});
    }
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const int spawned = posix_spawnp(&pid_, "python3", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        throw std::runtime_error("could not start the scripted server");
    }
    // The first line is "port N".
    std::string line;
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    if (line.rfind("port ", 0) != 0) throw std::runtime_error("the scripted server did not start: " + line);
    port_ = std::stoi(line.substr(5));
}

ScriptedServer::~ScriptedServer() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(files_.directory(), ignored);
}

std::string ScriptedServer::Origin(std::string_view scheme) const {
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_);
}

const TestCertificates& Certificates() {
    static const TestCertificates certificates = [] {
        const std::string directory = MakeTempDirectory();
        const auto result = RunProgram({VELTRANO_SERVERS_DIR "/make_test_certs.sh", directory});
        if (result.status != 0) throw std::runtime_error("could not make test certificates: " + result.err);
        return TestCertificates{directory + "/ca.pem",
                                {directory + "/trusted.pem", directory + "/trusted.key"},
                                {directory + "/untrusted.pem", directory + "/untrusted.key"}};
    }();
    return certificates;
}

int ClosedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);  // bound but never listening, then released
    return ntohs(address.sin_port);
}

ProgramResult RunProgram(const std::vector<std::string>& arguments, std::string_view input,
                         const std::vector<std::pair<std::string, std::string>>& environment) {
    std::vector<std::string> owned = arguments;
    std::vector<char*> argv;
    for (auto& argument : owned) argv.push_back(argument.data());
    argv.push_back(nullptr);

    std::vector<std::string> envOwned;
    for (char** e = environ; *e != nullptr; ++e) envOwned.emplace_back(*e);
    for (const auto& [name, value] : environment) envOwned.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& entry : envOwned) envp.push_back(entry.data());
    envp.push_back(nullptr);

    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    for (int fd : {in[1], out[0], err[0]}) posix_spawn_file_actions_addclose(&actions, fd);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    close(err[1]);
    ProgramResult result;
    if (spawned != 0) {
        for (int fd : {in[1], out[0], err[0]}) close(fd);
        return result;
    }
    // Small inputs only: written whole before the outputs are read.
    std::size_t written = 0;
    while (written < input.size()) {
        const ssize_t n = write(in[1], input.data() + written, input.size() - written);
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
    }
    close(in[1]);
    // Both outputs drained together so neither pipe fills up.
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) break;
        for (int k = 0; k < 2; ++k) {
            if (fds[k].fd < 0 || fds[k].revents == 0) continue;
            char buffer[65536];
            const ssize_t n = read(fds[k].fd, buffer, sizeof buffer);
            if (n <= 0) {
                close(fds[k].fd);
                fds[k].fd = -1;
                --open;
            } else {
                sinks[k]->append(buffer, static_cast<std::size_t>(n));
            }
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace veltrano::testing
