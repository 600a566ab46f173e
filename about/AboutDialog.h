#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmAbout;
}

namespace kw {

class Screens;

// `frmAbout`: title, version and the system-information button. Modeless; "OK", Enter, Esc and
// the close box unload it, and the next opening builds it afresh.
class AboutDialog final : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(Screens& screens);
    ~AboutDialog() override;
    Q_DISABLE_COPY_MOVE(AboutDialog)

    void reject() override;
    void accept() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Screens& m_screens;
    std::unique_ptr<Ui::frmAbout> m_ui;
};

} // namespace kw
