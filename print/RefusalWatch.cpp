#include "RefusalWatch.h"

#include <QLoggingCategory>

#include <atomic>
#include <thread>

namespace kw {

namespace {

std::mutex oneWatch;
// Set by a watch under oneWatch, and read by the handler while the watch lives.
QtMessageHandler previous = nullptr;
std::atomic<bool> criticalWasOn = true;
std::atomic<std::thread::id> watcher;
std::atomic<bool> refused = false;

void hear(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (std::this_thread::get_id() == watcher.load() && IsPrintRefusal(message))
        refused = true;
    if (type == QtCriticalMsg && !criticalWasOn)
        return; // silenced by the rules the program runs with
    previous(type, context, message);
}

} // namespace

bool IsPrintRefusal(const QString& message) {
    return message.startsWith(u"QWin32PrintEngine::end: EndDoc failed") ||
           message.startsWith(u"QWin32PrintEngine::end: EndPage failed");
}

RefusalWatch::RefusalWatch()
    : m_one(oneWatch) {
    refused = false;
    watcher = std::this_thread::get_id();
    QLoggingCategory* category = QLoggingCategory::defaultCategory();
    criticalWasOn = category->isCriticalEnabled();
    category->setEnabled(QtCriticalMsg, true);
    // Qt 6 hands back its own default handler where none was installed.
    previous = qInstallMessageHandler(hear);
}

RefusalWatch::~RefusalWatch() {
    qInstallMessageHandler(previous);
    QLoggingCategory::defaultCategory()->setEnabled(QtCriticalMsg, criticalWasOn);
    watcher = std::thread::id();
}

bool RefusalWatch::heard() const {
    return refused;
}

} // namespace kw
