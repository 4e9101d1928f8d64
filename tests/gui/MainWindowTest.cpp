// The main window on Qt's offscreen platform: layout, stacking, keys, the
// Desktop operations and the clear action.
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "MainWindowTest.h"
#include "MessageBoxCloser.h"
#include "app/Actions.h"
#include "FontconfigMatch.h"
#include "platform/linux/gui/GbkString.h"
#include "platform/linux/gui/LabelControl.h"
#include "platform/linux/gui/MainWindow.h"
#include "platform/linux/gui/QtDesktop.h"

using veltrano::app::ControlId;
using veltrano::linuxgui::MainWindow;
using veltrano::linuxgui::QtDesktop;

Q_DECLARE_METATYPE(ControlId)

namespace {

// Shown, active and with its start focus, as after start-up.
std::unique_ptr<MainWindow> ShowWindow() {
    auto window = std::make_unique<MainWindow>();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) qWarning("the window did not become active");
    return window;
}

bool IsWhite(QRgb pixel) { return qRed(pixel) > 250 && qGreen(pixel) > 250 && qBlue(pixel) > 250; }
bool IsDark(QRgb pixel) { return qGray(pixel) < 100; }

int CountPixels(const QImage& image, const QRect& area, bool (*test)(QRgb)) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) count += test(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

}  // namespace


void MainWindowTest::controls_data() {
    QTest::addColumn<ControlId>("id");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pixelSize");  // 0: the application's default font
    QTest::addColumn<bool>("takesFocus");
    QTest::addColumn<QString>("className");

    QTest::newRow("标签2") << ControlId::标签2 << QRect(16, 64, 512, 24)
                           << QString("本软件仅供学习交流使用，视频版权归原作者所有，请勿用于商业用途！") << 16 << false
                           << "veltrano::linuxgui::LabelControl";
    QTest::newRow("按钮2") << ControlId::按钮2 << QRect(400, 24, 24, 32) << QString("X") << 16 << true
                           << "QPushButton";
    QTest::newRow("编辑框2") << ControlId::编辑框2 << QRect(80, 64, 432, 24) << QString() << 0 << true << "QLineEdit";
    QTest::newRow("按钮1") << ControlId::按钮1 << QRect(424, 24, 96, 32) << QString("解析并复制") << 16 << true
                           << "QPushButton";
    QTest::newRow("标签1") << ControlId::标签1 << QRect(0, 24, 72, 24) << QString("播放地址：") << 16 << false
                           << "veltrano::linuxgui::LabelControl";
    QTest::newRow("编辑框1") << ControlId::编辑框1 << QRect(80, 24, 320, 32) << QString() << 16 << true
                             << "QLineEdit";
}

void MainWindowTest::controls() {
    QFETCH(ControlId, id);
    QFETCH(QRect, rect);
    QFETCH(QString, text);
    QFETCH(int, pixelSize);
    QFETCH(bool, takesFocus);
    QFETCH(QString, className);

    MainWindow window;
    QWidget* control = window.control(id);
    QCOMPARE(control->geometry(), rect);
    QCOMPARE(window.controlText(id), text);
    if (pixelSize == 0) {
        QCOMPARE(control->font(), QApplication::font());
    } else {
        QCOMPARE(control->font().pixelSize(), pixelSize);
        QCOMPARE(control->font().weight(), QFont::Normal);
        QVERIFY(!control->font().italic());
    }
    QCOMPARE(control->focusPolicy() != Qt::NoFocus, takesFocus);
    if (className == "veltrano::linuxgui::LabelControl") {
        QVERIFY(dynamic_cast<veltrano::linuxgui::LabelControl*>(control) != nullptr);
    } else {
        QCOMPARE(QString(control->metaObject()->className()), className);
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QCOMPARE(edit->cursorPosition(), 0);
        QVERIFY(!edit->isReadOnly());
        QCOMPARE(edit->echoMode(), QLineEdit::Normal);
    }
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
}

void MainWindowTest::stackingPutsTheNoticeOverTheResultBox() {
    const auto window = ShowWindow();
    // Every point of 编辑框2 belongs to 标签2, the control above it.
    for (const QPoint point : {QPoint(80, 64), QPoint(300, 75), QPoint(511, 87)}) {
        QCOMPARE(window->childAt(point), window->control(ControlId::标签2));
    }
    // The whole stacking order, top first, as the window's children run bottom first.
    const QList<QWidget*> bottomFirst = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const QList<QWidget*> expected{window->control(ControlId::编辑框1), window->control(ControlId::标签1),
                                   window->control(ControlId::按钮1),   window->control(ControlId::编辑框2),
                                   window->control(ControlId::按钮2),  window->control(ControlId::标签2)};
    QList<QWidget*> controlsOnly;
    for (QWidget* child : bottomFirst) {
        if (expected.contains(child)) controlsOnly.append(child);
    }
    QCOMPARE(controlsOnly, expected);
}

void MainWindowTest::resultBoxIsNeverDrawnButLive() {
    const auto window = ShowWindow();
    QWidget* resultBox = window->control(ControlId::编辑框2);
    window->setControlText(ControlId::编辑框2, "http://127.0.0.1/v.mp4");
    resultBox->setFocus();
    QTRY_VERIFY(resultBox->hasFocus());
    QVERIFY(resultBox->isVisible() && resultBox->isEnabled());
    QTest::keyClicks(resultBox, "typed");
    QCOMPARE(window->controlText(ControlId::编辑框2), QString("http://127.0.0.1/v.mp4typed"));

    const QImage image = window->grab().toImage();
    const QRect area = resultBox->geometry();
    // The edit's white base never shows: the label paints every pixel there.
    QCOMPARE(CountPixels(image, area, IsWhite), 0);
    QVERIFY(CountPixels(image, area, IsDark) > 50);  // the notice's glyphs
    const QColor buttonFace = window->palette().color(QPalette::Button);
    QCOMPARE(QColor(image.pixel(area.left() + 1, area.top() + 1)), buttonFace);
}

void MainWindowTest::labelsDrawAmpersandAsItself() {
    MainWindow window;
    auto* label = window.control(ControlId::标签1);
    window.setControlText(ControlId::标签1, "&");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // A mnemonic prefix would draw nothing at all for a lone "&".
    QVERIFY(CountPixels(label->grab().toImage(), label->rect(), IsDark) > 10);
}

void MainWindowTest::windowIsFixedCentredAndMinimiseOnly() {
    QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 800, 600));
    const auto window = ShowWindow();
    QCOMPARE(window->frameGeometry().topLeft(), QPoint(132, 239));
    QCOMPARE(window->size(), QSize(530, 92));
    QCOMPARE(window->minimumSize(), QSize(530, 92));
    QCOMPARE(window->maximumSize(), QSize(530, 92));
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(window->windowTitle(), QString("VeltranoV1.0 - By Ostrik on veltrano.example"));
    QCOMPARE(window->palette().color(QPalette::Window), window->palette().color(QPalette::Button));
}

void MainWindowTest::clearButtonFaceComesFromFontconfig() {
    MainWindow window;
    const QFont font = window.control(ControlId::按钮2)->font();
    const QString resolved = veltrano::linuxgui::testing::ResolveFontFamily("微软雅黑");
    QVERIFY(!resolved.isEmpty());
    QCOMPARE(font.family(), QString("微软雅黑"));
    QCOMPARE(QFontInfo(font).family(), resolved);
    QCOMPARE(font.pixelSize(), 16);
}

void MainWindowTest::focusStartsInAddressBoxAndTabWraps() {
    const auto window = ShowWindow();
    QTRY_COMPARE(QApplication::focusWidget(), window->control(ControlId::编辑框1));

    const QList<ControlId> forward{ControlId::按钮1, ControlId::编辑框2, ControlId::按钮2, ControlId::编辑框1};
    for (const ControlId next : forward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window->control(next));
    }
    const QList<ControlId> backward{ControlId::按钮2, ControlId::编辑框2, ControlId::按钮1, ControlId::编辑框1};
    for (const ControlId previous : backward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), window->control(previous));
    }
}

void MainWindowTest::focusReturnsOnReactivation() {
    const auto window = ShowWindow();
    window->control(ControlId::按钮2)->setFocus();
    QTRY_VERIFY(window->control(ControlId::按钮2)->hasFocus());

    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(QApplication::focusWidget(), window->control(ControlId::按钮2));
}

void MainWindowTest::escapeClosesFromEachFocusableControl_data() {
    QTest::addColumn<ControlId>("focused");
    QTest::newRow("编辑框1") << ControlId::编辑框1;
    QTest::newRow("按钮1") << ControlId::按钮1;
    QTest::newRow("编辑框2") << ControlId::编辑框2;
    QTest::newRow("按钮2") << ControlId::按钮2;
}

void MainWindowTest::escapeClosesFromEachFocusableControl() {
    QFETCH(ControlId, focused);
    const auto window = ShowWindow();
    QWidget* control = window->control(focused);
    control->setFocus();
    QTRY_VERIFY(control->hasFocus());
    QTest::keyClick(control, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
}

void MainWindowTest::enterClicksNoButton() {
    const auto window = ShowWindow();
    int clicks = 0;
    window->setClickHandler(ControlId::按钮1, [&clicks] { ++clicks; });
    window->setClickHandler(ControlId::按钮2, [&clicks] { ++clicks; });
    for (const ControlId focused : {ControlId::编辑框1, ControlId::按钮1, ControlId::编辑框2, ControlId::按钮2}) {
        QWidget* control = window->control(focused);
        control->setFocus();
        QTRY_VERIFY(control->hasFocus());
        QTest::keyClick(control, Qt::Key_Return);
        QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(QApplication::focusWidget(), control);  // Enter does not move the focus either
    }
    QCOMPARE(clicks, 0);
    QVERIFY(window->isVisible());
}

void MainWindowTest::controlTextsCrossAsGbk() {
    MainWindow window;
    QtDesktop desktop(window);
    // 视频 in GBK.
    const veltrano::Text gbk = "http://127.0.0.1/\xca\xd3\xc6\xb5.html";
    desktop.SetControlText(ControlId::编辑框1, gbk);
    QCOMPARE(window.controlText(ControlId::编辑框1), QString("http://127.0.0.1/视频.html"));
    QCOMPARE(desktop.GetControlText(ControlId::编辑框1), gbk);

    // What GBK cannot hold reads as "?", as the system's ANSI conversion gives it.
    window.setControlText(ControlId::编辑框2, QString("a\u20ac b😀c"));
    QCOMPARE(desktop.GetControlText(ControlId::编辑框2), veltrano::Text("a\x80 b?c"));
    desktop.SetControlText(ControlId::编辑框2, {});
    QCOMPARE(desktop.GetControlText(ControlId::编辑框2), veltrano::Text());
}

void MainWindowTest::clipboardReceivesTheText() {
    MainWindow window;
    QtDesktop desktop(window);
    QVERIFY(desktop.PutClipboardText("http://127.0.0.1/\xca\xd3\xc6\xb5.mp4"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("http://127.0.0.1/视频.mp4"));
}

void MainWindowTest::messageBoxFollowsTheFlags_data() {
    QTest::addColumn<uint>("flags");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::newRow("confirmation") << 0x2001u << int(QMessageBox::NoIcon)
                                  << int(QMessageBox::Ok | QMessageBox::Cancel);
    QTest::newRow("failure") << 0x2030u << int(QMessageBox::Warning) << int(QMessageBox::Ok);
}

void MainWindowTest::messageBoxFollowsTheFlags() {
    QFETCH(uint, flags);
    QFETCH(int, icon);
    QFETCH(int, buttons);
    MainWindow window;
    QtDesktop desktop(window);
    veltrano::linuxgui::testing::MessageBoxCloser closer;
    desktop.ShowMessageBox(veltrano::app::kCopiedMessage, flags);
    QCOMPARE(closer.shown.size(), size_t{1});
    const auto& box = closer.shown.front();
    QCOMPARE(box.title, QString("信息："));
    QCOMPARE(box.text, QString("下载地址复制成功！"));
    QCOMPARE(int(box.icon), icon);
    QCOMPARE(int(box.buttons), buttons);
    QCOMPARE(box.modality, Qt::ApplicationModal);
}

void MainWindowTest::clearButtonEmptiesBothBoxesAndNothingElse() {
    const auto window = ShowWindow();
    QtDesktop desktop(*window);
    window->setClickHandler(ControlId::按钮2, [&desktop] { veltrano::app::ClearBoxes(desktop); });
    QGuiApplication::clipboard()->setText("kept");
    veltrano::linuxgui::testing::MessageBoxCloser closer;

    for (const QString& start : {QString("http://127.0.0.1/page.html"), QString()}) {
        window->setControlText(ControlId::编辑框1, start);
        window->setControlText(ControlId::编辑框2, start);
        QTest::mouseClick(window->control(ControlId::按钮2), Qt::LeftButton);
        QCOMPARE(desktop.GetControlText(ControlId::编辑框1), veltrano::Text());
        QCOMPARE(desktop.GetControlText(ControlId::编辑框2), veltrano::Text());
    }
    QCOMPARE(window->controlText(ControlId::标签2),
             QString("本软件仅供学习交流使用，视频版权归原作者所有，请勿用于商业用途！"));
    QCOMPARE(window->controlText(ControlId::按钮1), QString("解析并复制"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));
    QVERIFY(closer.shown.empty());
}

QTEST_MAIN(MainWindowTest)
