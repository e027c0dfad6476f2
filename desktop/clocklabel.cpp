#include "clocklabel.h"

namespace kv::desktop {

ClockLabel::ClockLabel(Clock& clock, QString format, QWidget* parent)
    : QLabel(parent), m_clock(clock), m_format(std::move(format)) {
    m_refresh.setInterval(1000);
    connect(&m_refresh, &QTimer::timeout, this, &ClockLabel::currentText);
    currentText();
}

QString ClockLabel::currentText() {
    setText(m_clock.now().toString(m_format));
    return text();
}

void ClockLabel::showEvent(QShowEvent* e) {
    currentText();
    m_refresh.start();
    QLabel::showEvent(e);
}

void ClockLabel::hideEvent(QHideEvent* e) {
    m_refresh.stop();
    QLabel::hideEvent(e);
}

}  // namespace kv::desktop
