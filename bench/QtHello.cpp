// The yardstick of the window benchmarks: the least a Qt Widgets program does
// to show one empty window.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.show();
    return QApplication::exec();
}
