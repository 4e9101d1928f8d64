// Start-up work that needs no display, done on a helper thread while Qt
// connects to the display (a span in which the main thread mostly sleeps on
// the display's replies): fontconfig's configuration and font cache, which
// the first text of the window needs, and the decoded window icon.
#pragma once

#include <QImage>

#include <thread>

namespace veltrano::linuxgui {

class StartupWarmup {
public:
    StartupWarmup();
    ~StartupWarmup();
    StartupWarmup(const StartupWarmup&) = delete;
    StartupWarmup& operator=(const StartupWarmup&) = delete;

    // Waits for the helper; the icon is null when it could not be read.
    [[nodiscard]] QImage takeIcon();

private:
    QImage icon_;
    std::thread thread_;  // last: started once icon_ exists
};

}  // namespace veltrano::linuxgui
