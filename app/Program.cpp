#include "Program.h"

#include "ProgramArguments.h"
#include "StartupWork.h"
#include "print/PrintWorkers.h"
#include "ui/MainMenu.h"
#include "ui/Screens.h"

#include "Version.h"

#include <QApplication>

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>

#include <ole2.h>
#include <sddl.h>
#endif

namespace kw {

#ifdef _WIN32
namespace {

// Held while Koerswacht runs, and let go by Windows when it ends: the installers refuse while it
// exists rather than replace files in use. Every user may wait on it (so that the Koerswacht of a
// second officer logged on at the same PC holds it too, and an install running as SYSTEM sees it);
// nobody else may do more.
void holdRunningMutex() {
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;0x00100000;;;WD)", SDDL_REVISION_1,
                                                              &attributes.lpSecurityDescriptor, nullptr))
        attributes.lpSecurityDescriptor = nullptr;
    CreateMutexExW(&attributes, KOERSWACHT_RUNNING_MUTEX, 0, SYNCHRONIZE);
    LocalFree(attributes.lpSecurityDescriptor);
}

} // namespace
#endif

int RunProgram(char* programName, const std::function<void(Screens&)>& started) {
#ifdef _WIN32
    holdRunningMutex();
#endif
    StartupWork work; // runs while QApplication connects to the display
    ProgramArguments arguments(programName);
    QApplication app(arguments.argc(), arguments.argv());
    QApplication::setApplicationName(QString::fromLatin1(ApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral(KOERSWACHT_VERSION_TEXT));
    // The screens stay when hidden; only "Einde Programma" or the menu's close box ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    Screens screens;
    screens.setMenuPicture(work.takeMenuPicture());
    screens.menu().showCentred();
    if (started)
        started(screens);
    const int status = QApplication::exec();
    // A worker still waiting on a print system that has gone quiet holds nothing the user needs,
    // and tearing Qt down under it is not safe: the process ends without it.
    if (PrintWorkers::workersRunning() > 0) {
#ifdef _WIN32
        // What Koerswacht put on the clipboard is Windows' own only once it is flushed, which Qt
        // does as it is torn down.
        OleFlushClipboard();
#endif
        std::_Exit(status);
    }
    return status;
}

} // namespace kw
