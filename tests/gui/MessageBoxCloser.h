// Closes each message box that opens, after noting what it showed, so that
// tests of modal actions never block.
#pragma once

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <vector>

namespace veltrano::linuxgui::testing {

struct ShownMessageBox {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    Qt::WindowModality modality;
    Qt::CursorShape cursor;  // the application's override cursor while it was open
};

class MessageBoxCloser {
public:
    MessageBoxCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] { closeOpenBox(); });
        timer_.start(10);
    }

    std::vector<ShownMessageBox> shown;

private:
    void closeOpenBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) return;
        const QCursor* cursor = QGuiApplication::overrideCursor();
        shown.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons(), box->windowModality(),
                         cursor != nullptr ? cursor->shape() : Qt::ArrowCursor});
        box->button(QMessageBox::Ok)->click();
    }

    QTimer timer_;
};

}  // namespace veltrano::linuxgui::testing
