#include "elidinglabel.h"

#include <QEvent>
#include <QFontMetrics>

#include "windowkit.h"

namespace kv::desktop {

ElidingLabel::ElidingLabel(QWidget* parent) : QLabel(parent) {
    // The layout decides the width; the text never widens the window.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setWordWrap(false);
    // What it shows comes from the logs: as typed, never as markup.
    setTextFormat(Qt::PlainText);
}

void ElidingLabel::setFullText(const QString& text) {
    m_full = text;
    setPlainToolTip(this, text);
    // Read whole, as its name; a caption naming it stays its description. An
    // empty value is read as such, not by whatever surrounds it.
    setAccessibleName(text.isEmpty() ? QStringLiteral("none") : text);
    elide();
}

void ElidingLabel::resizeEvent(QResizeEvent* e) {
    QLabel::resizeEvent(e);
    elide();
}

void ElidingLabel::changeEvent(QEvent* e) {
    QLabel::changeEvent(e);
    if (e->type() == QEvent::FontChange) elide();
}

void ElidingLabel::elide() {
    static const QString kDots = "...";
    const QFontMetrics metrics(font());
    const int room = contentsRect().width() - 2 * margin() - indent() * (indent() > 0);
    if (room <= 0 || metrics.horizontalAdvance(m_full) <= room) {
        QLabel::setText(m_full);
        return;
    }
    // The longest beginning that fits with the dots after it.
    qsizetype low = 0, high = m_full.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(m_full.left(mid) + kDots) <= room)
            low = mid;
        else
            high = mid - 1;
    }
    QLabel::setText(m_full.left(low) + kDots);
}

}  // namespace kv::desktop
