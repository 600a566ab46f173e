#pragma once

#include "ScreenWindow.h"
#include "core/Voyage.h"

#include <QStringList>

#include <array>
#include <memory>

class QLineEdit;
class QPushButton;

namespace Ui {
class Form2;
}

namespace kw {

// The eleven ETA rows and four summary boxes. Its boxes are the only copy of the result; the user
// may type in them and the report prints what they hold.
class EtaResults final : public ScreenWindow {
    Q_OBJECT

public:
    using Column = std::array<QLineEdit*, EtaRowCount>;
    struct Controls {
        Column speed;
        Column etaDay;
        Column etaDate;
        QLineEdit* departure;
        QLineEdit* distance;
        QLineEdit* dateLine;
        QLineEdit* timeDifference;
        QPushButton* newCalculation;
        QPushButton* print;
        QPushButton* menu;
        QPushButton* endProgram;
    };

    explicit EtaResults(Navigation& navigation);
    ~EtaResults() override;
    Q_DISABLE_COPY_MOVE(EtaResults)

    const Controls& controls() const noexcept { return m_controls; }
    void setTable(const EtaTable& table);
    EtaTable table() const;
    // The table as the boxes hold it, with the headings and captions it stands under, for the
    // clipboard.
    QString copyText() const;

private:
    void print();
    QStringList columnHeadings() const;

    std::unique_ptr<Ui::Form2> m_ui;
    Controls m_controls;
    bool m_hasTable = false;
};

} // namespace kw
