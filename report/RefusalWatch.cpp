#include "RefusalWatch.h"

#include <mutex>

namespace kw {

namespace {

thread_local bool refused = false;

// The handler before ours, and the lock that makes installing it and reading it one step: a message
// logged on another thread while ours is being installed waits until the previous one is known.
std::mutex installing;
QtMessageHandler previous = nullptr;
bool installed = false;

void noteRefusal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (IsPrintRefusal(message))
        refused = true;
    QtMessageHandler next = nullptr;
    {
        const std::lock_guard lock(installing);
        next = previous;
    }
    if (next != nullptr)
        next(type, context, message);
}

} // namespace

bool IsPrintRefusal(const QString& message) {
    return message.startsWith(u"QWin32PrintEngine::end: EndDoc failed") ||
           message.startsWith(u"QWin32PrintEngine::end: EndPage failed");
}

void WatchForRefusal() {
    {
        const std::lock_guard lock(installing);
        if (!installed) {
            // Qt 6 hands back its own default handler where none was installed.
            previous = qInstallMessageHandler(noteRefusal);
            installed = true;
        }
    }
    refused = false;
}

bool RefusalHeard() {
    return refused;
}

} // namespace kw
