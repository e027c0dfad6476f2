#pragma once

#include <QLabel>
#include <QTimer>

#include "services.h"

namespace kv::desktop {

// A label showing the clock's date and time in a fixed format. While hidden it
// runs no timer: currentText() reads the clock when someone asks.
class ClockLabel final : public QLabel {
    Q_OBJECT
public:
    ClockLabel(Clock& clock, QString format, QWidget* parent = nullptr);
    QString currentText();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    Clock& m_clock;
    QString m_format;
    QTimer m_refresh;
};

}  // namespace kv::desktop
