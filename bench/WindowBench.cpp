// Start-up time and idle memory of the veltrano window against a minimal Qt
// program showing one empty window, both on one private Xvfb screen (800 x 600).
//
// startup_vs_qt_hello: median time from spawning the process to its top-level
// window being mapped. idle_rss_vs_qt_hello: median resident memory one second
// after the window was mapped. The runs alternate, so drift hits all alike.
//
// startup_vs_qt_hello_text sets the same time against a second yardstick: a
// minimal Qt program whose window shows a label, an edit and a button with
// Chinese texts. The empty window loads no font at all; this one does the font
// work any window with Chinese text must do before it is shown.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    double startupMs;
    long idleRssKb;
};

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv, int keepFd = -1) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("QT_QPA_PLATFORM=", 0) == 0) continue;
        env.push_back(entry);
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> args, envp;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    args.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    posix_spawn_file_actions_adddup2(&actions, devNull, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, devNull, STDERR_FILENO);
    if (keepFd >= 0) posix_spawn_file_actions_adddup2(&actions, keepFd, keepFd);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(devNull);
    return pid;
}

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

// Waits for a top-level window to be mapped on the screen, at most timeout.
bool WaitForMap(xcb_connection_t* connection, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (Clock::now() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
            if (mapped) return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        poll(&fd, 1, static_cast<int>(std::max<long>(1, left.count())));
    }
    return false;
}

std::optional<Sample> Measure(xcb_connection_t* connection, const std::string& program, const std::string& display) {
    const auto start = Clock::now();
    const pid_t pid = Spawn({program}, {"DISPLAY=" + display});
    if (pid < 0) return std::nullopt;
    if (!WaitForMap(connection, std::chrono::seconds(20))) {
        Stop(pid);
        return std::nullopt;
    }
    const double startupMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const long rss = ResidentKb(pid);
    Stop(pid);
    return Sample{startupMs, rss};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s VELTRANO QT_HELLO QT_HELLO_TEXT [ROUNDS]\n", argv[0]);
        return 64;
    }
    const std::vector<std::string> programs = {argv[1], argv[2], argv[3]};
    enum { kOurs, kHello, kHelloText };
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 15;

    int pipeFds[2];
    if (pipe(pipeFds) != 0) return 1;
    const pid_t xvfb = Spawn({"/usr/bin/Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0",
                              "800x600x24", "-nolisten", "tcp"},
                             {}, pipeFds[1]);
    close(pipeFds[1]);
    char number[16] = {};
    const ssize_t got = read(pipeFds[0], number, sizeof number - 1);
    close(pipeFds[0]);
    if (xvfb < 0 || got <= 0) {
        std::fprintf(stderr, "window_bench: Xvfb did not start\n");
        return 1;
    }
    std::string display = ":" + std::string(number);
    display.erase(display.find_last_not_of("\n") + 1);

    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fprintf(stderr, "window_bench: cannot open %s\n", display.c_str());
        Stop(xvfb);
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    std::vector<std::vector<double>> startup(programs.size()), rss(programs.size());
    // One unmeasured run each warms the page cache and the font caches.
    for (const auto& program : programs) (void)Measure(connection, program, display);
    for (int round = 0; round < rounds; ++round) {
        for (size_t which = 0; which < programs.size(); ++which) {
            const auto sample = Measure(connection, programs[which], display);
            if (!sample) {
                std::fprintf(stderr, "window_bench: %s showed no window\n", programs[which].c_str());
                xcb_disconnect(connection);
                Stop(xvfb);
                return 1;
            }
            startup[which].push_back(sample->startupMs);
            rss[which].push_back(static_cast<double>(sample->idleRssKb));
        }
    }
    xcb_disconnect(connection);
    Stop(xvfb);

    const char* names[] = {"veltrano", "qt_hello", "qt_hello_text"};
    std::printf("# startup ms (median, fastest):");
    for (size_t which = 0; which < programs.size(); ++which) {
        std::printf(" %s %.1f, %.1f;", names[which], Median(startup[which]),
                    *std::min_element(startup[which].begin(), startup[which].end()));
    }
    std::printf("\n# idle RSS kB (median): veltrano %.0f, qt_hello %.0f, qt_hello_text %.0f; %d rounds\n",
                Median(rss[kOurs]), Median(rss[kHello]), Median(rss[kHelloText]), rounds);
    std::printf("startup_vs_qt_hello ratio=%.3f\n", Median(startup[kOurs]) / Median(startup[kHello]));
    std::printf("idle_rss_vs_qt_hello ratio=%.3f\n", Median(rss[kOurs]) / Median(rss[kHello]));
    std::printf("startup_vs_qt_hello_text ratio=%.3f\n", Median(startup[kOurs]) / Median(startup[kHelloText]));
    return 0;
}
