#pragma once
// The delete window: shows the active entry and, on Yes, removes it from its
// log with the later entries moved down, if its slot still holds it.

#include <QDialog>
#include <optional>

#include "fileset.h"
#include "logbook.h"
#include "services.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kv::entries {

class Tusuwanie final : public QDialog {
    Q_OBJECT
public:
    Tusuwanie(desktop::Services& services, QWidget* owner = nullptr);
    bool opened() const { return m_opened; }
    // Whether Yes removed the entry.
    bool deleted() const { return m_deleted; }

protected:
    void showEvent(QShowEvent* e) override;

private:
    void load();
    void remove();
    void closeWindow();

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
    bool m_onScreen = false;
    bool m_opened = false;
    bool m_deleted = false;
};

}  // namespace kv::entries
