#include "AboutDialog.h"

#include "SysInfo.h"
#include "app/ScreenWindow.h"
#include "app/Screens.h"
#include "ui_frmAbout.h"

#include <QCloseEvent>
#include <QIcon>

namespace kw {

AboutDialog::AboutDialog(Screens& screens)
    : QDialog(nullptr, ScreenFrameFlags)
    , m_screens(screens)
    , m_ui(std::make_unique<Ui::frmAbout>()) {
    m_ui->setupUi(this);
    ApplyScreenFrame(*this);
    // Its stored place on the screen, not centred: the client area 2340 by 1935 twips from the corner.
    setGeometry(QRect(QPoint(156, 129), size()));
    m_ui->picIcon->setPixmap(QIcon(QStringLiteral(":/koerswacht/icon.png")).pixmap(32, 32));

    const QString title = QString::fromLatin1(ApplicationTitle);
    setWindowTitle(QStringLiteral("About ") + title);
    m_ui->lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                                  .arg(KOERSWACHT_VERSION_MAJOR)
                                  .arg(KOERSWACHT_VERSION_MINOR)
                                  .arg(KOERSWACHT_VERSION_PATCH));
    m_ui->lblTitle->setText(title);

    m_screens.onClick(*this, m_ui->cmdOK, [this] { m_screens.unloadAbout(); });
    m_screens.onClick(*this, m_ui->cmdSysInfo,
                      [this] { StartSysInfo(m_screens.registry(), m_screens.sysInfoHost()); });
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::reject() {
    m_ui->cmdOK->click();
}

void AboutDialog::accept() {
    m_ui->cmdOK->click();
}

void AboutDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_screens.frameClosed(*this);
}

} // namespace kw
