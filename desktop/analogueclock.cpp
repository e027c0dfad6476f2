#include "analogueclock.h"

#include <QPainter>

namespace kv::desktop {

namespace {

// A hand from the centre at the angle of value out of full, length a share of the radius.
void drawHand(QPainter& p, double value, double full, double length, double width) {
    p.save();
    p.rotate(360.0 * value / full);
    QPen pen = p.pen();
    pen.setWidthF(width);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.drawLine(QPointF(0, 8), QPointF(0, -length));
    p.restore();
}

}  // namespace

AnalogueClock::AnalogueClock(Clock& clock, QWidget* parent) : QWidget(parent), m_clock(clock) {
    setMinimumSize(96, 96);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    m_refresh.setInterval(1000);
    connect(&m_refresh, &QTimer::timeout, this, &AnalogueClock::tick);
    tick();
}

QString AnalogueClock::timeText() const {
    return m_shown.toString("hh:mm:ss");
}

void AnalogueClock::tick() {
    m_shown = m_clock.now().time();
    setAccessibleName(timeText());
    update();
}

void AnalogueClock::showEvent(QShowEvent* e) {
    tick();
    m_refresh.start();
    QWidget::showEvent(e);
}

void AnalogueClock::hideEvent(QHideEvent* e) {
    m_refresh.stop();
    QWidget::hideEvent(e);
}

void AnalogueClock::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 4;
    p.translate(width() / 2.0, height() / 2.0);
    p.scale(side / 200.0, side / 200.0);
    // The face in the window's colours, so that it reads under any palette.
    p.setPen(QPen(palette().color(QPalette::WindowText), 3));
    p.setBrush(palette().color(QPalette::Base));
    p.drawEllipse(QPointF(0, 0), 96, 96);
    for (int mark = 0; mark < 60; ++mark) {
        p.save();
        p.rotate(6.0 * mark);
        p.setPen(QPen(palette().color(QPalette::Text), mark % 5 == 0 ? 4 : 1.5));
        p.drawLine(QPointF(0, mark % 5 == 0 ? -78 : -84), QPointF(0, -90));
        p.restore();
    }
    p.setPen(palette().color(QPalette::Text));
    const QTime t = m_shown;
    drawHand(p, t.hour() % 12 + t.minute() / 60.0, 12, 50, 7);
    drawHand(p, t.minute() + t.second() / 60.0, 60, 74, 5);
    p.setPen(palette().color(QPalette::Highlight));
    drawHand(p, t.second(), 60, 82, 2);
}

}  // namespace kv::desktop
