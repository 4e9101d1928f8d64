#include "LoopbackServers.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
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

// VELTRANO_SERVER_<NAME> is "port|directory", the directory a host path.
std::string ServerVariable(const char* name) { return Environment((std::string("VELTRANO_SERVER_") + name).c_str()); }
int PortIn(const std::string& variable) { return std::stoi(variable.substr(0, variable.find('|'))); }
std::string DirectoryIn(const std::string& variable) { return OnDriveZ(variable.substr(variable.find('|') + 1)); }

}  // namespace

LoopbackServer::LoopbackServer(const char* name)
    : port_(PortIn(ServerVariable(name))), files_(DirectoryIn(ServerVariable(name))) {}

std::string LoopbackServer::Origin(std::string_view scheme) const {
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_);
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
