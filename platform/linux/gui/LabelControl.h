// The label class: a window that paints itself and never takes the focus.
#pragma once

#include <QString>
#include <QWidget>

namespace veltrano::linuxgui {

class LabelControl final : public QWidget {
public:
    LabelControl(QWidget* parent, Qt::Alignment horizontalAlignment);

    [[nodiscard]] const QString& text() const { return text_; }
    void setText(const QString& text);

protected:
    // Fills every pixel of the rectangle with the button colour, then draws the
    // text on one line, centred vertically; "&" is drawn as itself.
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    Qt::Alignment horizontalAlignment_;
};

}  // namespace veltrano::linuxgui
