#pragma once

#include <QTimer>
#include <QWidget>

#include "services.h"

namespace kv::desktop {

// A clock face with hands for the hours, minutes and seconds, read by a screen
// reader as the time in words of digits ("10:08:30"). While hidden it runs no
// timer.
class AnalogueClock final : public QWidget {
    Q_OBJECT
public:
    explicit AnalogueClock(Clock& clock, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {120, 120}; }
    // The time shown, as text; also the accessible name.
    QString timeText() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void tick();

    Clock& m_clock;
    QTimer m_refresh;
    QTime m_shown;
};

}  // namespace kv::desktop
