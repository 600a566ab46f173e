#include "MainMenu.h"
#include "Screens.h"
#include "StartupWork.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    kw::StartupWork work; // runs while QApplication connects to the display
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kw::ApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(KOERSWACHT_VERSION_MAJOR)
                                            .arg(KOERSWACHT_VERSION_MINOR)
                                            .arg(KOERSWACHT_VERSION_PATCH));
    // The screens stay when hidden; only "Einde Programma" or the menu's close box ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    kw::Screens screens;
    screens.setMenuPicture(work.takeMenuPicture());
    screens.Start().showCentred();
    return QApplication::exec();
}
