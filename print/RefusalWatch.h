#pragma once

// Qt's Windows print engine only warns when the spooler refuses a finished document (EndDoc or
// EndPage fails); it does not say so to the program. A watch hears that warning on the thread that
// ends the document, for as long as it lives.

#include <QString>

#include <mutex>

namespace kw {

// The text Qt's Windows print engine warns with when the spooler refuses the document. Read from
// QWin32PrintEngine::end in Qt 6.4 (src/printsupport/platform/windows/qprintengine_win.cpp), where
// it has stood unchanged since Qt 5; the Windows suite pins it against the Qt the program is built
// with.
bool IsPrintRefusal(const QString& message);

// While it lives, Qt's messages come to the watch first, whatever message handler or logging rules
// were set before it (the warning is a critical message of the default category, which rules can
// silence): it takes the handler and lets that category's critical messages through, and puts both
// back when it goes. Every message goes on to the handler that was there before, except one the
// rules had silenced. One watch at a time in the process.
class RefusalWatch final {
public:
    RefusalWatch();
    ~RefusalWatch();
    RefusalWatch(const RefusalWatch&) = delete;
    RefusalWatch& operator=(const RefusalWatch&) = delete;

    // A refusal was warned of on the thread that made the watch.
    bool heard() const;

private:
    std::unique_lock<std::mutex> m_one;
};

} // namespace kw
