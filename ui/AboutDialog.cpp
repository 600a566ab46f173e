#include "AboutDialog.h"

#include "Navigation.h"
#include "ScreenWindow.h"
#include "ui_AboutDialog.h"

#include "Version.h"

#include <QCloseEvent>
#include <QIcon>

namespace kw {

AboutDialog::AboutDialog(Navigation& navigation)
    : QDialog(nullptr, ScreenFrameFlags)
    , m_navigation(navigation)
    , m_ui(std::make_unique<Ui::frmAbout>()) {
    m_ui->setupUi(this);
    ApplyScreenFrame(*this);
    m_controls = {m_ui->picIcon,       m_ui->lblTitle, m_ui->lblVersion, m_ui->lblDescription,
                  m_ui->lblDisclaimer, m_ui->cmdOK,    m_ui->cmdSysInfo};
    const Controls& c = m_controls;
    // Its stored place on the screen, not centred: the client area 2340 by 1935 twips from the corner.
    setGeometry(QRect(QPoint(156, 129), size()));
    c.icon->setPixmap(QIcon(QStringLiteral(":/koerswacht/icon.png")).pixmap(32, 32));

    const QString title = QString::fromLatin1(ApplicationTitle);
    setWindowTitle(QStringLiteral("About ") + title);
    c.version->setText(QStringLiteral("Version ") + QStringLiteral(KOERSWACHT_VERSION_TEXT));
    c.title->setText(title);

    m_navigation.onClick(*this, c.ok, [this] { m_navigation.unloadAbout(); });
    m_navigation.onClick(*this, c.sysInfo, [this] { m_navigation.startSysInfo(); });
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::reject() {
    m_controls.ok->click();
}

void AboutDialog::accept() {
    m_controls.ok->click();
}

void AboutDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_navigation.frameClosed(*this);
}

} // namespace kw
