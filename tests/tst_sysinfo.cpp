#include "sysinfo/SysInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <vector>

using namespace kw;

namespace {

const std::string toolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string folderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

struct Value {
    std::uint32_t type;
    std::string bytes;
};

class FakeRegistry final : public Registry {
public:
    long openKey(std::uint32_t root, const std::string& path, RegistryHandle& handle) override {
        handle = 0;
        if (root != HKEY_LOCAL_MACHINE_ROOT || !keys.count(path))
            return 2;
        handle = ++lastHandle;
        openHandles[handle] = path;
        return RegistryOk;
    }

    long queryValue(RegistryHandle handle, const std::string& name, std::uint32_t& type, char* buffer,
                    std::uint32_t& size) override {
        const auto& values = keys.at(openHandles.at(handle));
        const auto found = values.find(name);
        if (found == values.end())
            return 2;
        if (found->second.bytes.size() > size)
            return 234; // ERROR_MORE_DATA
        std::copy(found->second.bytes.begin(), found->second.bytes.end(), buffer);
        size = static_cast<std::uint32_t>(found->second.bytes.size());
        type = found->second.type;
        return RegistryOk;
    }

    void closeKey(RegistryHandle handle) override {
        closed.push_back(handle);
        openHandles.erase(handle);
    }

    std::map<std::string, std::map<std::string, Value>> keys;
    std::map<RegistryHandle, std::string> openHandles;
    std::vector<RegistryHandle> closed;
    RegistryHandle lastHandle = 0;
};

class FakeHost final : public SysInfoHost {
public:
    bool fileExists(const std::string& path) override { return files.count(path) > 0; }
    bool start(const std::string& path) override {
        if (!files.count(path))
            return false;
        started.push_back(path);
        return true;
    }
    void showUnavailable() override { ++unavailable; }

    std::set<std::string> files;
    std::vector<std::string> started;
    int unavailable = 0;
};

std::string text(const std::string& value) {
    return value + std::string(1, '\0');
}

} // namespace

class TestSysInfo final : public QObject {
    Q_OBJECT

private slots:
    void getKeyValue_data();
    void getKeyValue();
    void zeroBytesIsAnError();
    void startSysInfo_data();
    void startSysInfo();
    void toolOnPath();
};

void TestSysInfo::getKeyValue_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("text loses its terminating NUL")
        << 1 << QByteArray("C:\\msinfo32.exe", 16) << true << QByteArray("C:\\msinfo32.exe");
    QTest::newRow("only one trailing NUL is removed")
        << 1 << QByteArray("ab\0\0", 4) << true << QByteArray("ab\0", 3);
    QTest::newRow("1024 bytes without NUL come back whole")
        << 1 << QByteArray(1024, 'x') << true << QByteArray(1024, 'x');
    QTest::newRow("1025 bytes do not fit: not read") << 1 << QByteArray(1025, 'x') << false << QByteArray();
    QTest::newRow("a 32-bit number reads as its decimal number")
        << 4 << QByteArray::fromHex("00010000") << true << QByteArray("256");
    QTest::newRow("4294967295") << 4 << QByteArray::fromHex("ffffffff") << true << QByteArray("4294967295");
    QTest::newRow("another type keeps what came in")
        << 3 << QByteArray("\x01\x02", 2) << true << QByteArray("before");
}

void TestSysInfo::getKeyValue() {
    QFETCH(int, type);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, result);
    QFETCH(QByteArray, expected);
    FakeRegistry registry;
    registry.keys[toolKey]["PATH"] = {std::uint32_t(type), bytes.toStdString()};
    std::string value = "before";
    QCOMPARE(GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, toolKey, "PATH", value), result);
    QCOMPARE(QByteArray::fromStdString(value), expected);
    QVERIFY(registry.openHandles.empty()); // closed on every way out
}

void TestSysInfo::zeroBytesIsAnError() {
    FakeRegistry registry;
    registry.keys[toolKey]["PATH"] = {1, ""};
    std::string value;
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                             GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, toolKey, "PATH", value));
    QVERIFY(registry.openHandles.empty());

    // A key that opens without the value: false and empty.
    registry.keys[toolKey].clear();
    value = "old";
    QVERIFY(!GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, toolKey, "PATH", value));
    QCOMPARE(value, std::string());
    // No key at all: the handle 0 is closed too.
    QVERIFY(!GetKeyValue(registry, HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\None", "PATH", value));
    QCOMPARE(registry.closed.back(), RegistryHandle(0));
}

void TestSysInfo::startSysInfo_data() {
    QTest::addColumn<QString>("path");   // the "PATH" value, empty for none
    QTest::addColumn<QString>("folder"); // the "MSINFO" value, empty for none
    QTest::addColumn<QString>("file");   // the file that exists
    QTest::addColumn<QString>("started");
    QTest::newRow("PATH value names the tool") << "C:\\Tools\\msinfo32.exe"
                                               << ""
                                               << "C:\\Tools\\msinfo32.exe"
                                               << "C:\\Tools\\msinfo32.exe";
    QTest::newRow("PATH value names a missing file") << "C:\\Gone\\msinfo32.exe"
                                                     << "C:\\Tools"
                                                     << ""
                                                     << "";
    QTest::newRow("folder holding the tool") << ""
                                             << "C:\\Tools"
                                             << "C:\\Tools\\MSINFO32.EXE"
                                             << "C:\\Tools\\MSINFO32.EXE";
    QTest::newRow("folder without the tool") << ""
                                             << "C:\\Tools"
                                             << ""
                                             << "";
    QTest::newRow("neither value") << ""
                                   << ""
                                   << ""
                                   << "";
}

void TestSysInfo::startSysInfo() {
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QFETCH(QString, started);
    FakeRegistry registry;
    registry.keys[toolKey];
    registry.keys[folderKey];
    if (!path.isEmpty())
        registry.keys[toolKey]["PATH"] = {RegistryTypeText, text(path.toStdString())};
    if (!folder.isEmpty())
        registry.keys[folderKey]["MSINFO"] = {RegistryTypeText, text(folder.toStdString())};
    FakeHost host;
    if (!file.isEmpty())
        host.files.insert(file.toStdString());
    StartSysInfo(registry, host);
    if (started.isEmpty()) {
        QVERIFY(host.started.empty());
        QCOMPARE(host.unavailable, 1);
    } else {
        QCOMPARE(host.started, std::vector<std::string>{started.toStdString()});
        QCOMPARE(host.unavailable, 0);
    }
}

void TestSysInfo::toolOnPath() {
#ifndef _WIN32
    // Elsewhere the tool is the first known system-information program on the PATH: hardinfo2
    // before hardinfo before kinfocenter, whichever folder it is in; a file that cannot run is none.
    QTemporaryDir first;
    QTemporaryDir second;
    QVERIFY(first.isValid() && second.isValid());
    const auto place = [](const QTemporaryDir& folder, const char* name, bool executable) {
        QFile tool(folder.filePath(QString::fromLatin1(name)));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.write("#!/bin/sh\n");
        tool.close();
        tool.setPermissions(executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                       : QFile::ReadOwner | QFile::WriteOwner);
    };
    const std::string path = (first.path() + u':' + second.path()).toStdString();
    QCOMPARE(FindToolOnPath(path), std::string());
    place(first, "kinfocenter", true);
    place(first, "hardinfo2", false);
    QCOMPARE(QString::fromStdString(FindToolOnPath(path)), first.filePath(QStringLiteral("kinfocenter")));
    place(second, "hardinfo", true);
    QCOMPARE(QString::fromStdString(FindToolOnPath(path)), second.filePath(QStringLiteral("hardinfo")));
    QCOMPARE(QString::fromStdString(FindToolOnPath("::" + second.path().toStdString() + ":")),
             second.filePath(QStringLiteral("hardinfo")));
    QCOMPARE(FindToolOnPath(""), std::string());
#endif
}

QTEST_GUILESS_MAIN(TestSysInfo)
#include "tst_sysinfo.moc"
