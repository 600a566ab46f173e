#include "MainMenu.h"

#include "AboutDialog.h"
#include "EtaCalculator.h"
#include "Navigation.h"
#include "SpeedCalculator.h"
#include "ui_MainMenu.h"

#include <QPainter>
#include <QScreen>

namespace kw {

MainMenu::MainMenu(Navigation& navigation)
    : ScreenWindow(navigation)
    , m_ui(std::make_unique<Ui::Start>())
    , m_picture(navigation.takeMenuPicture()) {
    m_ui->setupUi(this);
    ApplyScreenFrame(*this);
    m_controls = {m_ui->Label1, m_ui->Label3, m_ui->Command1, m_ui->Command2, m_ui->Command3, m_ui->Command4};

    const Controls& c = m_controls;
    m_navigation.onClick(*this, c.etaCalculator,
                         [this] { m_navigation.go(*this, m_navigation.etaCalculator()); });
    m_navigation.onClick(*this, c.speedCalculator,
                         [this] { m_navigation.go(*this, m_navigation.speedCalculator()); });
    m_navigation.onClick(*this, c.about, [this] { m_navigation.show(m_navigation.about()); });
    m_navigation.onClick(*this, c.endProgram, [this] { m_navigation.endProgram(); });
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
    m_navigation.show(*this);
}

} // namespace kw
