#pragma once
// The edit window: shows the active entry and writes the changed values back
// into the same slot of the same log, if it still holds that entry.

#include "entryform.h"
#include "entryview.h"
#include "exchange.h"

namespace kv::entries {

class Tedytowanie final : public EntryForm {
    Q_OBJECT
public:
    // entry: what the opener handed over; without one, the exchange file's active entry.
    Tedytowanie(desktop::Services& services, QWidget* owner = nullptr,
                std::optional<storage::ActiveEntry> entry = std::nullopt);

protected:
    void fill() override;
    void showReceiverAndMode(const storage::EntryView& entry);
    std::optional<QString> store() override;
    QString noStoreMessage() const override;

private:
    std::optional<storage::ActiveEntry> m_handed;
    int m_number = -1;
    std::optional<storage::LogKind> m_kind;
    storage::StoredEntry m_shown;  // as loaded: what Save may overwrite
};

}  // namespace kv::entries
