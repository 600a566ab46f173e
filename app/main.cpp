#include "ProgramArguments.h"
#include "StartupWork.h"
#include "ui/MainMenu.h"
#include "ui/Screens.h"

#include "Version.h"

#include <QApplication>

#ifdef _WIN32
#include <windows.h>
#endif

int main(int, char* argv[]) {
#ifdef _WIN32
    // Held while Koerswacht runs, and let go by Windows when it ends: the installer and the
    // uninstaller wait until it is gone rather than replace files in use.
    CreateMutexW(nullptr, FALSE, L"KoerswachtRunning");
#endif
    kw::StartupWork work; // runs while QApplication connects to the display
    kw::ProgramArguments arguments(argv[0]);
    QApplication app(arguments.argc(), arguments.argv());
    QApplication::setApplicationName(QString::fromLatin1(kw::ApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral(KOERSWACHT_VERSION_TEXT));
    // The screens stay when hidden; only "Einde Programma" or the menu's close box ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    kw::Screens screens;
    screens.setMenuPicture(work.takeMenuPicture());
    screens.menu().showCentred();
    return QApplication::exec();
}
