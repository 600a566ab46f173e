#include "MainMenu.h"

#include "Screens.h"
#include "about/AboutDialog.h"
#include "calc/EtaCalculator.h"
#include "calc/SpeedCalculator.h"
#include "ui_Start.h"

#include <QPainter>
#include <QScreen>

namespace kw {

MainMenu::MainMenu(Screens& screens)
    : ScreenWindow(screens)
    , m_ui(std::make_unique<Ui::Start>())
    , m_picture(screens.takeMenuPicture()) {
    m_ui->setupUi(this);
    ApplyScreenFrame(*this);

    m_screens.onClick(*this, m_ui->Command1, [this] {
        m_screens.show(m_screens.Form1());
        m_screens.hide(*this);
    });
    m_screens.onClick(*this, m_ui->Command2, [this] {
        m_screens.show(m_screens.Form3());
        m_screens.hide(*this);
    });
    m_screens.onClick(*this, m_ui->Command3, [this] { m_screens.show(m_screens.frmAbout()); });
    m_screens.onClick(*this, m_ui->Command4, [this] { m_screens.endProgram(); });
}

MainMenu::~MainMenu() = default;

// The picture is painted here rather than named in the style sheet, so that start-up can decode it
// on its second thread and hand it over.
void MainMenu::paintEvent(QPaintEvent* event) {
    ScreenWindow::paintEvent(event);
    QPainter(this).drawImage(0, 0, m_picture);
}

void MainMenu::showCentred() {
    if (const QScreen* screen = this->screen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    m_screens.show(*this);
}

} // namespace kw
