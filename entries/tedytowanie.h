#pragma once
// The edit window: shows the active entry and writes the changed values back
// into the same slot of the same log, if it still holds that entry.

#include "entryform.h"

namespace kv::entries {

class Tedytowanie final : public EntryForm {
    Q_OBJECT
public:
    Tedytowanie(desktop::Services& services, QWidget* owner = nullptr);

protected:
    void load() override;
    std::optional<QString> store() override;
    QString noStoreMessage() const override;

private:
    int m_number = -1;
    std::optional<storage::LogKind> m_kind;
    storage::StoredEntry m_shown;  // as loaded: what Save may overwrite
};

}  // namespace kv::entries
