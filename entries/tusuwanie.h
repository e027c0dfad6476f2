#pragma once
// The delete window: shows the active entry and, on Yes, removes it from its
// log with the later entries moved down, if its slot still holds it.

#include <optional>

#include "exchange.h"
#include "fileset.h"
#include "logbook.h"
#include "services.h"
#include "window.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kv::entries {

class Tusuwanie final : public desktop::Window {
    Q_OBJECT
public:
    // entry: what the opener handed over; without one, the exchange file's active entry.
    Tusuwanie(desktop::Services& services, QWidget* owner = nullptr,
              std::optional<storage::ActiveEntry> entry = std::nullopt);
    // Whether Yes removed the entry.
    bool deleted() const { return m_deleted; }

protected:
    void load() override;

private:
    std::optional<storage::ActiveEntry> m_handed;
    void remove();

    desktop::Services& m_services;
    std::optional<storage::FileSet> m_files;
    QLabel* m_numer = nullptr;
    QLabel* m_dziennik = nullptr;
    QLabel* m_data = nullptr;
    QLabel* m_informacja = nullptr;
    QPushButton* m_anuluj = nullptr;
    QPushButton* m_usun = nullptr;
    QLineEdit* m_edit1 = nullptr;
    int m_number = -1;
    std::optional<storage::LogKind> m_kind;
    storage::StoredEntry m_shown;
    bool m_deleted = false;
};

}  // namespace kv::entries
