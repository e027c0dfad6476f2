#pragma once
// The timer notification: the message set on the editor's timer page, shown
// when the resident clock's alarm goes off, with the "RingIn" sound.

#include "services.h"
#include "window.h"

class QLineEdit;
class QPlainTextEdit;

namespace kv::notify {

class Tinformacja_timer final : public desktop::Window {
    Q_OBJECT
public:
    explicit Tinformacja_timer(desktop::Services& services, QWidget* owner = nullptr);

protected:
    void load() override;

private:
    desktop::Services& m_services;
    QPlainTextEdit* m_info = nullptr;
    QLineEdit* m_edit1 = nullptr;
};

}  // namespace kv::notify
