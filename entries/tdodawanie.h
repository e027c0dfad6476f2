#pragma once
// The new-entry window: composes one reminder, checks it and stores it in the
// lowest free slot of the log its receiver and display mode select.

#include "entryform.h"

class QToolButton;

namespace kv::entries {

class Tdodawanie final : public EntryForm {
    Q_OBJECT
public:
    Tdodawanie(desktop::Services& services, QWidget* owner = nullptr);

protected:
    void fill() override;
    std::optional<QString> store() override;
    QString noStoreMessage() const override;

private:
    void browse(QLineEdit* field, desktop::FileKind kind, const QString& folder);
};

}  // namespace kv::entries
