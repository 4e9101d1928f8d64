// 解析并复制 clicked in the real window, fetching from a real loopback server
// through libcurl and iconv: the result box, the clipboard and the box shown.
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "MessageBoxCloser.h"
#include "ParseAndCopyTest.h"
#include "ScriptedServer.h"
#include "platform/linux/gui/MainWindow.h"
#include "platform/linux/gui/QtDesktop.h"
#include "platform/linux/gui/WindowActions.h"
#include "platform/linux/web/CurlInternet.h"
#include "platform/linux/web/IconvStream.h"

using veltrano::app::ControlId;
using veltrano::linuxgui::MainWindow;
using veltrano::linuxgui::QtDesktop;
using veltrano::linuxgui::testing::MessageBoxCloser;
using veltrano::platform::linux_web::CurlInternet;
using veltrano::platform::linux_web::CurlInternetOptions;
using veltrano::platform::linux_web::IconvAutomation;

namespace {

const QString kKept = QStringLiteral("what the user copied earlier");

std::string Answer(std::string_view status, std::string_view headers, std::string_view body) {
    return "HTTP/1.1 " + std::string(status) + "\r\n" + std::string(headers) +
           "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + std::string(body);
}

std::string PlayerPage(std::string_view videoAddress) {
    return "<html><script>\r\n        var videoUrl = \"" + std::string(videoAddress) +
           "\";\r\n        var defaultImg = \"poster.jpg\";\r\n</script></html>";
}

CurlInternetOptions QuickOptions() {
    CurlInternetOptions options;
    options.connectTimeout = std::chrono::seconds(2);
    options.idleTimeout = std::chrono::seconds(2);
    return options;
}

// The window as the program builds it, its actions on the given web platform.
struct Fixture {
    explicit Fixture(std::function<veltrano::web::WebPlatform()> platform) {
        veltrano::linuxgui::ConnectActions(window, desktop, std::move(platform));
        window.show();
    }
    void ClickParse(const QString& pageAddress) {
        window.setControlText(ControlId::编辑框1, pageAddress);
        window.setControlText(ControlId::编辑框2, QStringLiteral("stale text from the last click"));
        QTest::mouseClick(window.control(ControlId::按钮1), Qt::LeftButton);
    }

    MainWindow window;
    QtDesktop desktop{window};
};

}  // namespace

void ParseAndCopyTest::clickOnParseButton_data() {
    QTest::addColumn<QString>("path");           // appended to the server's origin; "!" + text: the whole address
    QTest::addColumn<QByteArray>("answer");      // what the server sends for it
    QTest::addColumn<QString>("resultBox");      // 编辑框2 afterwards
    QTest::addColumn<QString>("clipboard");      // the clipboard afterwards
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");

    const int okCancel = int(QMessageBox::Ok | QMessageBox::Cancel);
    const int ok = int(QMessageBox::Ok);
    const QString copied = QStringLiteral("下载地址复制成功！");
    const QString noAddress = QStringLiteral("页面中未找到视频地址。");
    const QString fetchFailed = QStringLiteral("页面下载失败，请检查网址和网络连接。");
    const std::string video = "http://127.0.0.1/media/clip-01.mp4";

    QTest::newRow("address found") << "/play/1.html"
                                   << QByteArray::fromStdString(Answer("200 OK", "", PlayerPage(video)))
                                   << QString::fromStdString(video) << QString::fromStdString(video) << copied
                                   << int(QMessageBox::NoIcon) << okCancel;
    // "视频" in UTF-8, converted to GBK by the fetcher and back to Unicode at the window.
    const std::string chinese = "http://127.0.0.1/\xE8\xA7\x86\xE9\xA2\x91.mp4";
    QTest::newRow("utf-8 page")
        << "/play/2.html"
        << QByteArray::fromStdString(Answer("200 OK", "Content-Type: text/html; charset=utf-8\r\n", PlayerPage(chinese)))
        << QStringLiteral("http://127.0.0.1/视频.mp4") << QStringLiteral("http://127.0.0.1/视频.mp4") << copied
        << int(QMessageBox::NoIcon) << okCancel;
    QTest::newRow("page without a player")
        << "/play/3.html" << QByteArray::fromStdString(Answer("200 OK", "", "<html>nothing to see</html>"))
        << QString() << kKept << noAddress << int(QMessageBox::Warning) << ok;
    QTest::newRow("not found, empty body") << "/missing.html"
                                            << QByteArray::fromStdString(Answer("404 Not Found", "", ""))
                                            << QString() << kKept << noAddress << int(QMessageBox::Warning) << ok;
    QTest::newRow("connection refused")
        << QStringLiteral("!http://127.0.0.1:%1/play/4.html").arg(veltrano::testing::ClosedPort()) << QByteArray()
        << QString() << kKept << fetchFailed << int(QMessageBox::Warning) << ok;
    QTest::newRow("empty address") << "!" << QByteArray() << QString() << kKept << fetchFailed
                                   << int(QMessageBox::Warning) << ok;
}

void ParseAndCopyTest::clickOnParseButton() {
    QFETCH(QString, path);
    QFETCH(QByteArray, answer);
    QFETCH(QString, resultBox);
    QFETCH(QString, clipboard);
    QFETCH(QString, message);
    QFETCH(int, icon);
    QFETCH(int, buttons);

    veltrano::testing::ScriptedServer server;
    server.Script({{path.toStdString(), {veltrano::testing::Send(answer.toStdString())}}});
    CurlInternet internet(QuickOptions());
    IconvAutomation automation;
    Fixture fixture([&] { return veltrano::web::WebPlatform{internet, automation}; });
    QGuiApplication::clipboard()->setText(kKept);
    MessageBoxCloser closer;

    const QString address =
        path.startsWith('!') ? path.mid(1) : QString::fromStdString(server.Origin()) + path;
    fixture.ClickParse(address);

    QCOMPARE(fixture.window.controlText(ControlId::编辑框2), resultBox);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    QCOMPARE(closer.shown.size(), size_t{1});
    QCOMPARE(closer.shown[0].title, QStringLiteral("信息："));
    QCOMPARE(closer.shown[0].text, message);
    QCOMPARE(int(closer.shown[0].icon), icon);
    QCOMPARE(int(closer.shown[0].buttons), buttons);
    QCOMPARE(closer.shown[0].modality, Qt::ApplicationModal);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);  // the busy cursor is gone again
}

namespace {

// Notes the cursor shown while the fetch opens its connection.
class CursorWatchingInternet final : public veltrano::web::Internet {
public:
    explicit CursorWatchingInternet(veltrano::web::Internet& real) : real_(real) {}
    Qt::CursorShape cursorAtOpen = Qt::ArrowCursor;
    bool opened = false;

    veltrano::web::InternetHandle Open(const char* agent, std::uint32_t accessType, const char* proxy,
                                       const char* proxyBypass, std::uint32_t flags) override {
        opened = true;
        if (const QCursor* cursor = QGuiApplication::overrideCursor()) cursorAtOpen = cursor->shape();
        return real_.Open(agent, accessType, proxy, proxyBypass, flags);
    }
    veltrano::web::InternetHandle Connect(veltrano::web::InternetHandle internet, const char* serverName,
                                          std::uint16_t port, const char* userName, const char* password,
                                          std::uint32_t service, std::uint32_t flags,
                                          std::uintptr_t context) override {
        return real_.Connect(internet, serverName, port, userName, password, service, flags, context);
    }
    veltrano::web::InternetHandle OpenRequest(veltrano::web::InternetHandle connection, const char* verb,
                                              const char* objectName, const char* version, const char* referrer,
                                              const char** acceptTypes, std::uint32_t flags,
                                              std::uintptr_t context) override {
        return real_.OpenRequest(connection, verb, objectName, version, referrer, acceptTypes, flags, context);
    }
    bool SendRequest(veltrano::web::InternetHandle request, const char* headers, std::uint32_t headersLength,
                     const void* optional, std::uint32_t optionalLength) override {
        return real_.SendRequest(request, headers, headersLength, optional, optionalLength);
    }
    bool ReadFile(veltrano::web::InternetHandle request, void* buffer, std::uint32_t bytesToRead,
                  std::uint32_t* bytesRead) override {
        return real_.ReadFile(request, buffer, bytesToRead, bytesRead);
    }
    bool QueryInfo(veltrano::web::InternetHandle request, std::uint32_t infoLevel, void* buffer,
                   std::uint32_t* bufferLength, std::uint32_t* index) override {
        return real_.QueryInfo(request, infoLevel, buffer, bufferLength, index);
    }
    bool CloseHandle(veltrano::web::InternetHandle handle) override { return real_.CloseHandle(handle); }

private:
    veltrano::web::Internet& real_;
};

}  // namespace

void ParseAndCopyTest::fetchRunsUnderABusyCursor() {
    veltrano::testing::ScriptedServer server;
    server.Script({{"/play/1.html", {veltrano::testing::Send(Answer("200 OK", "", PlayerPage("v.mp4")))}}});
    CurlInternet real(QuickOptions());
    CursorWatchingInternet internet(real);
    IconvAutomation automation;
    Fixture fixture([&] { return veltrano::web::WebPlatform{internet, automation}; });
    MessageBoxCloser closer;

    fixture.ClickParse(QString::fromStdString(server.Origin()) + "/play/1.html");

    QVERIFY(internet.opened);
    QCOMPARE(internet.cursorAtOpen, Qt::WaitCursor);
    QCOMPARE(closer.shown.size(), size_t{1});
    QCOMPARE(closer.shown[0].cursor, Qt::ArrowCursor);  // not busy over the box
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

QTEST_MAIN(ParseAndCopyTest)
