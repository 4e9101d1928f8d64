#include "platform/linux/gui/MainWindow.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include "platform/linux/gui/GbkString.h"
#include "platform/linux/gui/LabelControl.h"

namespace veltrano::linuxgui {

namespace {

size_t IndexOf(app::ControlId id) { return static_cast<size_t>(id); }

QFont FontFor(app::FontKind kind, TextView face = {}) {
    QFont font = QGuiApplication::font();
    if (kind == app::FontKind::DefaultGui) return font;
    // Qt asks fontconfig for a face it does not have, at first use: the face
    // itself where installed, else the substitute the system's configuration names.
    if (kind == app::FontKind::NamedFace16) font.setFamily(GbkToQString(face));
    font.setPixelSize(app::kFontHeight);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

Qt::Alignment HorizontalAlignment(app::TextAlign align) {
    return align == app::TextAlign::Center ? Qt::AlignHCenter : Qt::AlignLeft;
}

}  // namespace

MainWindow::MainWindow(const app::WindowLayout& layout)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(GbkToQString(layout.caption));
    setFixedSize(layout.clientWidth, layout.clientHeight);

    QPalette background = palette();
    background.setColor(QPalette::Window, background.color(QPalette::Button));
    setPalette(background);
    setAutoFillBackground(true);

    // Most controls take this font; they are born with it rather than measured twice.
    setFont(FontFor(app::FontKind::SystemFace16));

    // A new child goes on top of its siblings, so the bottom control comes first.
    for (auto control = layout.controls.rbegin(); control != layout.controls.rend(); ++control) {
        controls_[IndexOf(control->id)] = createControl(*control);
    }
    for (size_t i = 1; i < layout.tabOrder.size(); ++i) {
        setTabOrder(control(layout.tabOrder[i - 1]), control(layout.tabOrder[i]));
    }
    control(layout.tabOrder.front())->setFocus();

    // The outer rectangle, frame included, is what is centred.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move(screen.x() + app::CentredOffset(screen.width(), layout.outerWidth),
         screen.y() + app::CentredOffset(screen.height(), layout.outerHeight));

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

QWidget* MainWindow::createControl(const app::ControlLayout& layout) {
    QWidget* widget = nullptr;
    const QString text = GbkToQString(layout.startText);
    switch (layout.controlClass) {
    case app::ControlClass::EditBox: {
        auto* edit = new QLineEdit(text, this);
        edit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        QPalette colours = edit->palette();
        colours.setColor(QPalette::Base, Qt::white);
        colours.setColor(QPalette::Text, Qt::black);
        edit->setPalette(colours);
        edit->setCursorPosition(0);
        widget = edit;
        break;
    }
    case app::ControlClass::Button: {
        auto* button = new QPushButton(text, this);
        // Never a default button: Enter does nothing anywhere in the window.
        button->setAutoDefault(false);
        button->setDefault(false);
        widget = button;
        break;
    }
    case app::ControlClass::Label: {
        auto* label = new LabelControl(this, HorizontalAlignment(layout.align));
        label->setText(text);
        widget = label;
        break;
    }
    }
    widget->setGeometry(layout.left, layout.top, layout.width, layout.height);
    if (layout.font != app::FontKind::SystemFace16) widget->setFont(FontFor(layout.font, layout.fontFace));
    widget->setFocusPolicy(layout.takesFocus ? Qt::StrongFocus : Qt::NoFocus);
    widget->setObjectName(text.isEmpty() ? QStringLiteral("control%1").arg(IndexOf(layout.id)) : text);
    return widget;
}

QWidget* MainWindow::control(app::ControlId id) const { return controls_[IndexOf(id)]; }

QString MainWindow::controlText(app::ControlId id) const {
    QWidget* widget = control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text();
    return static_cast<LabelControl*>(widget)->text();
}

void MainWindow::setControlText(app::ControlId id, const QString& text) {
    QWidget* widget = control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(text);
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(text);
    } else {
        static_cast<LabelControl*>(widget)->setText(text);
    }
}

void MainWindow::setClickHandler(app::ControlId button, std::function<void()> handler) {
    auto* pushButton = qobject_cast<QPushButton*>(control(button));
    if (pushButton == nullptr) return;
    connect(pushButton, &QPushButton::clicked, this, [handler = std::move(handler)] { handler(); });
}

}  // namespace veltrano::linuxgui
