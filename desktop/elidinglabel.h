#pragma once

#include <QLabel>

namespace kv::desktop {

// A one-line label that shows as much of its text as fits, ending in "...",
// and carries the whole text as its tooltip and accessible description.
class ElidingLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidingLabel(QWidget* parent = nullptr);
    void setFullText(const QString& text);
    const QString& fullText() const { return m_full; }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void elide();
    QString m_full;
};

}  // namespace kv::desktop
