#include "platform/linux/gui/QtDesktop.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>

#include "app/Actions.h"
#include "platform/linux/gui/GbkString.h"

namespace veltrano::linuxgui {

namespace {

QMessageBox::StandardButtons ButtonsFor(std::uint32_t flags) {
    switch (flags & 0xFu) {
    case 1: return QMessageBox::Ok | QMessageBox::Cancel;
    case 2: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case 3: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case 4: return QMessageBox::Yes | QMessageBox::No;
    case 5: return QMessageBox::Retry | QMessageBox::Cancel;
    default: return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconFor(std::uint32_t flags) {
    switch (flags & 0xF0u) {
    case 0x10: return QMessageBox::Critical;
    case 0x20: return QMessageBox::Question;
    case 0x30: return QMessageBox::Warning;
    case 0x40: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

}  // namespace

Text QtDesktop::GetControlText(app::ControlId control) { return QStringToGbk(window_.controlText(control)); }

void QtDesktop::SetControlText(app::ControlId control, TextView text) {
    window_.setControlText(control, GbkToQString(text));
}

bool QtDesktop::PutClipboardText(TextView text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return false;
    const QString unicode = GbkToQString(text);
    clipboard->setText(unicode, QClipboard::Clipboard);
    // Qt reports no failure of its own; a clipboard that does not hold the text was not written.
    return clipboard->text(QClipboard::Clipboard) == unicode;
}

void QtDesktop::ShowMessageBox(TextView text, std::uint32_t flags) {
    QMessageBox box(IconFor(flags), GbkToQString(app::kInfoTitle), GbkToQString(text), ButtonsFor(flags));
    if ((flags & app::kMbTaskModal) != 0) box.setWindowModality(Qt::ApplicationModal);
    // The busy cursor of a running action does not belong over the box.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace veltrano::linuxgui
