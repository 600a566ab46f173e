// The toolkit's floor for start-up: a plain Qt Widgets window of the main menu's size with the same
// picture and four buttons, and nothing else. Built a second time with KOERSWACHT_FLOOR_FONTS, it
// also shows the menu's two captions and uses its three font faces, to tell what those cost.

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Floor"));
    window.setFixedSize(637, 477);
    auto* picture = new QLabel(&window);
    picture->setPixmap(QPixmap(QStringLiteral(KOERSWACHT_SHIP_PNG)));
    picture->setGeometry(0, 0, 640, 480);
    const char* captions[] = {"ETA Calculator", "Speed Calculator", "Koerswacht Info", "Einde Programma"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(QString::fromLatin1(captions[i]), &window);
        button->setGeometry(8 + i * 165, 384, 121, 33);
    }
#ifdef KOERSWACHT_FLOOR_FONTS
    const auto face = [](const char* family, double points, bool italic) {
        QFont font(QString::fromLatin1(family));
        font.setPointSizeF(points);
        font.setBold(true);
        font.setItalic(italic);
        return font;
    };
    auto* title = new QLabel(QStringLiteral("Havenlicht Koerswacht"), &window);
    title->setGeometry(8, 16, 617, 49);
    title->setFont(face("Arial", 27.75, true));
    auto* credit = new QLabel(QStringLiteral("Havenlicht Software"), &window);
    credit->setGeometry(216, 440, 233, 25);
    credit->setFont(face("Arial", 15.75, false));
    for (auto* button : window.findChildren<QPushButton*>())
        button->setFont(face("Arial Narrow", 11.25, false));
#endif
    window.show();
    return QApplication::exec();
}
