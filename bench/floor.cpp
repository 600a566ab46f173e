// The toolkit's floor for start-up: a plain Qt Widgets window of the main menu's size with the same
// picture and four buttons, and nothing else.

#include <QApplication>
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
    window.show();
    return QApplication::exec();
}
