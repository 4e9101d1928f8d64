// Starting Qt without a display ends in one plain line instead of an abort.
#pragma once

#include <QApplication>
#include <memory>

namespace veltrano::linuxgui {

inline constexpr int kNoDisplayExitCode = 2;

// The application, or nullptr after the one-line explanation went to stderr
// when no display could be opened.
[[nodiscard]] std::unique_ptr<QApplication> OpenApplication(int& argc, char** argv);

}  // namespace veltrano::linuxgui
