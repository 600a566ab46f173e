#include "Program.h"

#include "ProgramArguments.h"
#include "StartupWork.h"
#include "report/ReportPrinting.h"
#include "ui/MainMenu.h"
#include "ui/Screens.h"

#include "Version.h"

#include <QApplication>

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kw {

int RunProgram(char* programName, const std::function<void(Screens&)>& started) {
#ifdef _WIN32
    // Held while Koerswacht runs, and let go by Windows when it ends: the installer and the
    // uninstaller wait until it is gone rather than replace files in use.
    CreateMutexW(nullptr, FALSE, L"KoerswachtRunning");
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
    if (ReportPrinting::workersRunning() > 0)
        std::_Exit(status);
    return status;
}

} // namespace kw
