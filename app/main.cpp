#include "StartupWork.h"
#include "ui/MainMenu.h"
#include "ui/Screens.h"

#include "Version.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    kw::StartupWork work; // runs while QApplication connects to the display
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kw::ApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral(KOERSWACHT_VERSION_TEXT));
    // The screens stay when hidden; only "Einde Programma" or the menu's close box ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    kw::Screens screens;
    screens.setMenuPicture(work.takeMenuPicture());
    screens.menu().showCentred();
    return QApplication::exec();
}
