#pragma once
// The About window: the program's name, version and terms.

#include <QDialog>

#include "services.h"

class QLabel;

namespace kv::about {

class Tabout final : public QDialog {
    Q_OBJECT
public:
    explicit Tabout(desktop::Services& services, QWidget* owner = nullptr);
    static const char* terms();

protected:
    void showEvent(QShowEvent* e) override;

private:
    QLabel* m_wersja = nullptr;
    bool m_shown = false;
};

}  // namespace kv::about
