#pragma once

#include "services.h"

#include <QLabel>

namespace kv::desktop {

// An underlined label that opens its link, or its caption when it has no link.
// Blue until used, red while pressed, navy once used; Space or Enter opens it too.
class LinkLabel final : public QLabel {
    Q_OBJECT
public:
    LinkLabel(Shell& shell, QWidget* parent = nullptr);
    void setCaption(const QString& caption);
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
