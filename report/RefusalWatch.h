#pragma once

// Qt's Windows print engine only warns when the spooler refuses a finished document (EndDoc or
// EndPage fails); it does not say so to the program. This hears that warning on the thread that
// ended the document, and passes every message on to the handler that was there before, unchanged.

#include <QString>

namespace kw {

// The text Qt's Windows print engine warns with when the spooler refuses the document. Read from
// QWin32PrintEngine::end in Qt 6.4 (src/printsupport/platform/windows/qprintengine_win.cpp), where
// it has stood unchanged since Qt 5; the Windows suite pins it against the Qt the program is built
// with.
bool IsPrintRefusal(const QString& message);

// Starts hearing on this thread: from now on until the next call on it, RefusalHeard() says whether
// a refusal was warned of on this thread. The handler is installed once per process, whichever
// thread comes first; messages logged meanwhile on other threads reach the previous handler.
void WatchForRefusal();
bool RefusalHeard();

} // namespace kw
