#include "linklabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "colourscheme.h"

namespace kv::desktop {

namespace {
constexpr int kBlue = 16711680;
constexpr int kRed = 255;
constexpr int kNavy = 8388608;
}  // namespace

LinkLabel::LinkLabel(Shell& shell, QWidget* parent) : ElidingLabel(parent), m_shell(shell) {
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    paintAs(kBlue);
}

void LinkLabel::setCaption(const QString& caption) {
    setFullText(caption);
    setAccessibleName(caption);
}

void LinkLabel::activate() {
    if (!isEnabled()) return;
    const QString target = m_link.isEmpty() ? caption() : m_link;
    if (target.isEmpty()) return;
    m_used = true;
    paintAs(kNavy);
    m_shell.open(target);
}

void LinkLabel::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) paintAs(kRed);
    ElidingLabel::mousePressEvent(e);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        if (rect().contains(e->position().toPoint()))
            activate();
        else
            paintAs(m_used ? kNavy : kBlue);
    }
    ElidingLabel::mouseReleaseEvent(e);
}

void LinkLabel::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        activate();
        return;
    }
    ElidingLabel::keyPressEvent(e);
}

void LinkLabel::changeEvent(QEvent* e) {
    if (e->type() == QEvent::EnabledChange) paintAs(m_used ? kNavy : kBlue);
    ElidingLabel::changeEvent(e);
}

void LinkLabel::paintAs(int bgr) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, toQColor(bgr));
    setPalette(p);
}

}  // namespace kv::desktop
