// The version record and the icon compiled into koerswacht.exe, read back the way Windows' own
// file properties read them. Built for Windows only; run under Wine here.

#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <windows.h>

#include <shellapi.h>

#include <vector>

namespace {

QString exePath() {
    return QString::fromLocal8Bit(qgetenv("KOERSWACHT_EXE"));
}

} // namespace

class TestWindowsVersion final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(!exePath().isEmpty(), "KOERSWACHT_EXE names the program to read");
        const std::wstring path = exePath().toStdWString();
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        QVERIFY2(size > 0, "no version record");
        m_record.resize(size);
        QVERIFY(GetFileVersionInfoW(path.c_str(), 0, size, m_record.data()));
    }

    void fixedVersion() {
        VS_FIXEDFILEINFO* info = nullptr;
        UINT length = 0;
        QVERIFY(VerQueryValueW(m_record.data(), L"\\", reinterpret_cast<void**>(&info), &length));
        QCOMPARE(info->dwSignature, DWORD(0xFEEF04BD));
        const auto dotted = [](DWORD high, DWORD low) {
            return QStringLiteral("%1.%2.%3.%4")
                .arg(HIWORD(high))
                .arg(LOWORD(high))
                .arg(HIWORD(low))
                .arg(LOWORD(low));
        };
        QCOMPARE(dotted(info->dwFileVersionMS, info->dwFileVersionLS), QStringLiteral("6.3.0.0"));
        QCOMPARE(dotted(info->dwProductVersionMS, info->dwProductVersionLS), QStringLiteral("6.3.0.0"));
        QCOMPARE(info->dwFileType, DWORD(VFT_APP));
    }

    void texts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("file version") << "FileVersion"
                                      << "6.03";
        QTest::newRow("product version") << "ProductVersion"
                                         << "6.03";
        QTest::newRow("company") << "CompanyName"
                                 << "Havenlicht";
        QTest::newRow("product") << "ProductName"
                                 << "Koerswacht";
        QTest::newRow("description") << "FileDescription"
                                     << "Koerswacht";
        QTest::newRow("original file name") << "OriginalFilename"
                                            << "koerswacht.exe";
    }

    void texts() {
        QFETCH(QString, name);
        QFETCH(QString, value);
        // The record is in Dutch (the Netherlands), Unicode.
        const std::wstring key = (QStringLiteral("\\StringFileInfo\\041304b0\\") + name).toStdWString();
        wchar_t* text = nullptr;
        UINT length = 0;
        QVERIFY2(VerQueryValueW(m_record.data(), key.c_str(), reinterpret_cast<void**>(&text), &length),
                 qPrintable(name));
        QCOMPARE(QString::fromWCharArray(text), value);
    }

    // The program's icon is its first icon resource, as Explorer and the Start menu show it.
    void icon() {
        const std::wstring path = exePath().toStdWString();
        HICON large = nullptr;
        QCOMPARE(ExtractIconExW(path.c_str(), -1, nullptr, nullptr, 0), UINT(1));
        QCOMPARE(ExtractIconExW(path.c_str(), 0, &large, nullptr, 1), UINT(1));
        QVERIFY(large != nullptr);
        DestroyIcon(large);
    }

    // The GUI subsystem: started from Explorer it opens no console window.
    void guiSubsystem() {
        const std::wstring path = exePath().toStdWString();
        SHFILEINFOW info{};
        const DWORD_PTR kind = SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_EXETYPE);
        QVERIFY(kind != 0);
        QVERIFY(HIWORD(kind) != 0); // a console program reports 0 here
    }

    // While it runs, the program holds its mutex in the global namespace, where an install running
    // as SYSTEM in another session looks, and not in its own session's.
    void runningCheckIsGlobal() {
        QProcess program;
        program.start(exePath(), {});
        QVERIFY(program.waitForStarted());
        const auto end = qScopeGuard([&program] {
            program.kill();
            program.waitForFinished();
        });
        const auto held = [](const wchar_t* name) {
            HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, name);
            if (mutex != nullptr)
                CloseHandle(mutex);
            return mutex != nullptr;
        };
        QTRY_VERIFY_WITH_TIMEOUT(held(L"Global\\KoerswachtRunning"), 20000);
        QVERIFY(!held(L"Local\\KoerswachtRunning"));
    }

private:
    std::vector<char> m_record;
};

QTEST_GUILESS_MAIN(TestWindowsVersion)
#include "tst_windows_version.moc"
