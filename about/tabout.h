#pragma once
// The About window: the program's name, version and terms.

#include "services.h"
#include "window.h"

class QGroupBox;
class QLabel;

namespace kv::about {

class Tabout final : public desktop::Window {
    Q_OBJECT
public:
    explicit Tabout(desktop::Services& services, QWidget* owner = nullptr);
    static const char* terms();

protected:
    void firstShown() override;
    void load() override {}

private:
    QGroupBox* buildProgramGroup();

    QLabel* m_wersja = nullptr;
};

}  // namespace kv::about
