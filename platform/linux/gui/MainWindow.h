// The main window on Qt Widgets, built from the window's description.
#pragma once

#include <QWidget>

#include <array>
#include <functional>

#include "app/MainWindowLayout.h"

namespace veltrano::linuxgui {

class MainWindow final : public QWidget {
public:
    // Builds the window and its controls, stacked and ordered as the layout
    // says, centred on the primary screen; the caller shows it.
    explicit MainWindow(const app::WindowLayout& layout = app::kMainWindow);

    [[nodiscard]] QWidget* control(app::ControlId id) const;
    [[nodiscard]] QString controlText(app::ControlId id) const;
    void setControlText(app::ControlId id, const QString& text);
    // Runs handler on each click of the button, inside the click handling.
    void setClickHandler(app::ControlId button, std::function<void()> handler);

private:
    QWidget* createControl(const app::ControlLayout& control);

    std::array<QWidget*, 6> controls_{};  // by ControlId
};

}  // namespace veltrano::linuxgui
