// The second yardstick of the window benchmarks: the least a Qt Widgets program
// does to show a window with Chinese text in it (a label, an edit with text and
// a button), so its time includes the font work such a window cannot skip.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(530, 92);
    (new QLabel(QStringLiteral(u"播放地址："), &window))->setGeometry(0, 24, 72, 24);
    (new QLineEdit(QStringLiteral(u"本软件仅供学习交流使用"), &window))->setGeometry(80, 24, 320, 32);
    (new QPushButton(QStringLiteral(u"解析并复制"), &window))->setGeometry(424, 24, 96, 32);
    window.show();
    return QApplication::exec();
}
