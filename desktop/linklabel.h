#pragma once

#include "elidinglabel.h"
#include "services.h"

namespace kv::desktop {

// An underlined label that opens its link, or its caption when it has no link.
// Blue until used, red while pressed, navy once used; Space or Enter opens it too.
// A caption too long for the label is shortened on screen, never in what opens.
class LinkLabel final : public ElidingLabel {
    Q_OBJECT
public:
    LinkLabel(Shell& shell, QWidget* parent = nullptr);
    void setCaption(const QString& caption);
    const QString& caption() const { return fullText(); }
    void setLink(const QString& link) { m_link = link; }
    QString link() const { return m_link; }
    void activate();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void paintAs(int bgr);
    Shell& m_shell;
    QString m_link;
    bool m_used = false;
};

}  // namespace kv::desktop
