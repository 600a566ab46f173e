#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

namespace Ui {
class frmAbout;
}

namespace kw {

class Navigation;

// Title, version and the system-information button. Modeless; "OK", Enter, Esc and the close box
// unload it, and the next opening builds it afresh.
class AboutDialog final : public QDialog {
    Q_OBJECT

public:
    struct Controls {
        QLabel* icon;
        QLabel* title;
        QLabel* version;
        QLabel* description;
        QLabel* disclaimer;
        QPushButton* ok;
        QPushButton* sysInfo;
    };

    explicit AboutDialog(Navigation& navigation);
    ~AboutDialog() override;
    Q_DISABLE_COPY_MOVE(AboutDialog)

    const Controls& controls() const noexcept { return m_controls; }
    void reject() override;
    void accept() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Navigation& m_navigation;
    std::unique_ptr<Ui::frmAbout> m_ui;
    Controls m_controls;
};

} // namespace kw
