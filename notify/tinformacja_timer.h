#pragma once
// The timer notification: the message set on the editor's timer page, shown
// when the resident clock's alarm goes off, with the "RingIn" sound.

#include <QDialog>

#include "services.h"

class QLineEdit;
class QPlainTextEdit;

namespace kv::notify {

class Tinformacja_timer final : public QDialog {
    Q_OBJECT
public:
    explicit Tinformacja_timer(desktop::Services& services, QWidget* owner = nullptr);
    bool loaded() const { return m_loaded; }

protected:
    void showEvent(QShowEvent* e) override;

private:
    void load();

    desktop::Services& m_services;
    QPlainTextEdit* m_info = nullptr;
    QLineEdit* m_edit1 = nullptr;
    bool m_shown = false;
    bool m_loaded = false;
};

}  // namespace kv::notify
