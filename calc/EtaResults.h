#pragma once

#include "Voyage.h"
#include "app/ScreenWindow.h"

#include <QLineEdit>

#include <memory>

namespace Ui {
class Form2;
}

namespace kw {

// `Form2`: the eleven ETA rows and four summary boxes. Its boxes are the only copy of the result;
// the user may type in them and the report prints what they hold.
class EtaResults final : public ScreenWindow {
    Q_OBJECT

public:
    explicit EtaResults(Screens& screens);
    ~EtaResults() override;
    Q_DISABLE_COPY_MOVE(EtaResults)

    void setTable(const EtaTable& table);
    EtaTable table() const;

private:
    void print();

    std::unique_ptr<Ui::Form2> m_ui;
    std::array<QLineEdit*, EtaRowCount> m_speed{};
    std::array<QLineEdit*, EtaRowCount> m_etaDay{};
    std::array<QLineEdit*, EtaRowCount> m_etaDate{};
};

} // namespace kw
