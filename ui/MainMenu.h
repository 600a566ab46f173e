#pragma once

#include "ScreenWindow.h"

#include <QImage>

#include <memory>

class QLabel;
class QPushButton;

namespace Ui {
class Start;
}

namespace kw {

// The main menu: the ship picture, the title and the four buttons.
class MainMenu final : public ScreenWindow {
    Q_OBJECT

public:
    struct Controls {
        QLabel* title;
        QLabel* credit;
        QPushButton* etaCalculator;
        QPushButton* speedCalculator;
        QPushButton* about;
        QPushButton* endProgram;
    };

    explicit MainMenu(Navigation& navigation);
    ~MainMenu() override;
    Q_DISABLE_COPY_MOVE(MainMenu)

    const Controls& controls() const noexcept { return m_controls; }
    // Centred on the screen the first time it is shown.
    void showCentred();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<Ui::Start> m_ui;
    Controls m_controls;
    QImage m_picture;
};

} // namespace kw
