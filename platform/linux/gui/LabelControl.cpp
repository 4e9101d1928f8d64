#include "platform/linux/gui/LabelControl.h"

#include <QPainter>

namespace veltrano::linuxgui {

LabelControl::LabelControl(QWidget* parent, Qt::Alignment horizontalAlignment)
    : QWidget(parent), horizontalAlignment_(horizontalAlignment) {
    setFocusPolicy(Qt::NoFocus);
    // Every pixel is painted here, so nothing beneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LabelControl::setText(const QString& text) {
    text_ = text;
    update();
}

void LabelControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.setPen(Qt::black);
    painter.setFont(font());
    // Without Qt::TextShowMnemonic an "&" is an ordinary character.
    painter.drawText(rect(), static_cast<int>(horizontalAlignment_ | Qt::AlignVCenter | Qt::TextSingleLine), text_);
}

}  // namespace veltrano::linuxgui
