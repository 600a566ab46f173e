#pragma once

#include "ScreenWindow.h"

#include <QImage>

#include <memory>

namespace Ui {
class Start;
}

namespace kw {

// The main menu, `Start`: the ship picture, the title and the four buttons.
class MainMenu final : public ScreenWindow {
    Q_OBJECT

public:
    explicit MainMenu(Screens& screens);
    ~MainMenu() override;
    Q_DISABLE_COPY_MOVE(MainMenu)

    // Centred on the screen the first time it is shown.
    void showCentred();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<Ui::Start> m_ui;
    QImage m_picture;
};

} // namespace kw
