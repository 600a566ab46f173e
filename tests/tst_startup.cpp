// Start-up's second thread and the main menu's picture. This test has its own main(): the thread
// must be started and finished before the application object exists, as the program does it.

#include "GuiFixture.h"
#include "app/StartupWork.h"
#include "ui/Resources.h"

#include <QApplication>
#include <QTest>

namespace {

QStringList threadWarnings;

void recordMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
    if (text.contains(QLatin1String("thread")))
        threadWarnings << text;
}

QRgb pixelAt(const QImage& image, QPoint point) {
    return image.pixel(point) & 0xffffffU;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

public:
    explicit TestStartup(QImage decoded)
        : m_decoded(std::move(decoded)) {}

private slots:
    // A second thread that used Qt first would have become Qt's main thread, and the application
    // object would warn that it was not created there.
    void applicationOwnsTheMainThread() {
        QVERIFY2(threadWarnings.isEmpty(), qPrintable(threadWarnings.join(QLatin1Char('\n'))));
    }

    void pictureDecodedWhole() {
        QCOMPARE(m_decoded.size(), QSize(640, 480));
        QCOMPARE(m_decoded, kw::LoadMenuPicture());
    }

    void menuShowsItsPicture_data() {
        QTest::addColumn<bool>("supplied");
        QTest::newRow("handed over by start-up") << true;
        QTest::newRow("loaded by the menu") << false;
    }

    void menuShowsItsPicture() {
        QFETCH(bool, supplied);
        // A picture of one colour tells the handed-over picture from the one in the resources.
        QImage plain(640, 480, QImage::Format_RGB32);
        plain.fill(QColor(12, 34, 56));
        GuiFixture fixture;
        if (supplied)
            fixture.screens.setMenuPicture(plain);
        const QImage expected = supplied ? plain : m_decoded;
        const QImage shown = fixture.screens.menu().grab().toImage();
        // Corners and middle, away from the title, the buttons and the credit.
        for (const QPoint point : {QPoint(1, 1), QPoint(318, 200), QPoint(635, 300), QPoint(1, 475)})
            QCOMPARE(pixelAt(shown, point), pixelAt(expected, point));
    }

private:
    QImage m_decoded;
};

int main(int argc, char* argv[]) {
    qInstallMessageHandler(recordMessage);
    QImage decoded;
    {
        kw::StartupWork work;
        decoded = work.takeMenuPicture();
    }
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    TestStartup test(std::move(decoded));
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
