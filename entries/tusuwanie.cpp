#include "tusuwanie.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "colours.h"
#include "elidinglabel.h"
#include "entryview.h"
#include "windowkit.h"

namespace kv::entries {

namespace {

constexpr const char* kUnknown = "Unknown.";
constexpr const char* kFailed = "Wystąpił nieznany błąd. Zaleca się zamknięcie programu.";
constexpr const char* kEntryChanged =
    "This entry was changed or removed in its log since this window opened. Nothing was "
    "deleted.";

QString description(storage::LogKind kind) {
    switch (kind) {
        case storage::LogKind::Private:
            return "Prywatny dziennik użytkownika (log).";
        case storage::LogKind::Static:
            return "Prywatny, stały dziennik użytkownika (log_stały).";
        case storage::LogKind::Public:
            return "Główny, publiczny dziennik programu (Log_główny).";
    }
    return kUnknown;
}

}  // namespace

Tusuwanie::Tusuwanie(desktop::Services& services, QWidget* owner,
                     std::optional<storage::ActiveEntry> entry)
    : desktop::Window(owner), m_handed(std::move(entry)), m_services(services) {
    using desktop::labelFor;
    using desktop::named;
    setObjectName("Tusuwanie");
    setWindowTitle("Kalvex - deleting an entry");
    QFont f("Verdana");
    f.setPointSize(8);
    setFont(f);
    setFixedSize(553, 247);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    desktop::addBanner(this, layout, "Kalvex4", "Deleting the selected entry...");

    auto* group = named<QGroupBox>("GroupBox1", "Details:", this);
    auto* grid = new QGridLayout(group);
    m_numer = named<QLabel>("numer", kUnknown, group);
    m_dziennik = named<QLabel>("dziennik", kUnknown, group);
    m_data = named<QLabel>("data", kUnknown, group);
    auto* text = named<desktop::ElidingLabel>("informacja", group);
    text->setFullText(kUnknown);
    m_informacja = text;
    int row = 0;
    for (auto [name, caption, value] : {std::tuple{"Label1", "Position in the log:", m_numer},
                                        {"Label2", "Log:", m_dziennik},
                                        {"Label4", "Activate date:", m_data},
                                        {"Label7", "Text:", m_informacja}}) {
        desktop::showsValue(value);
        grid->addWidget(labelFor(group, name, caption, value), row, 0);
        grid->addWidget(value, row++, 1);
    }
    grid->setColumnStretch(1, 1);
    auto* pad = new QHBoxLayout;
    pad->setContentsMargins(8, 0, 8, 0);
    pad->addWidget(group);
    layout->addLayout(pad);

    auto* question = named<QLabel>(
        "Label9", "Are you sure that you wish to permanently delete this entry?", this);
    QFont bold = question->font();
    bold.setBold(true);
    question->setFont(bold);
    question->setContentsMargins(8, 0, 8, 0);
    layout->addWidget(question);
    m_anuluj = named<QPushButton>("anulujbtn", "No, cancel.", this);
    m_usun = named<QPushButton>("usunbtn", "Yes, delete it.", this);
    // Deleting is for good: it takes a deliberate press, never a stray Enter.
    layout->addLayout(desktop::buttonRow({m_anuluj, m_usun}));
    connect(m_anuluj, &QPushButton::clicked, this, &Tusuwanie::closeWindow);
    connect(m_usun, &QPushButton::clicked, this, &Tusuwanie::remove);

    m_edit1 = named<QLineEdit>("Edit1", this);
    m_edit1->hide();
}

void Tusuwanie::load() {
    const desktop::Opening opening = desktop::openFileSet(m_edit1, m_files);
    if (opening.result != desktop::Opening::Opened) {
        m_usun->setEnabled(false);
        if (opening.result == desktop::Opening::NoStore) {
            m_services.messages.show(this,
                                     "W rejestrze nie ma wpisu o Kalvex. Zamknij program i "
                                     "przeczytaj instrukcję obsługi.",
                                     desktop::MessageIcon::Error);
            closeWindow();
        } else {
            m_services.messages.show(this, opening.error, desktop::MessageIcon::Error);
        }
        return;
    }
    desktop::applyUserColours(this, m_files->location(), storage::deleteColourRules());
    const storage::ActiveEntry active = m_handed ? *m_handed : m_files->exchange().activeEntry();
    m_number = active.number;
    m_kind = storage::logKindFromKey(active.log);
    // Yes is offered only where there is an entry to delete.
    if (m_number < 0 || !m_kind) {
        m_usun->setEnabled(false);
        return;
    }
    const storage::Profile& log = m_files->log(*m_kind);
    const storage::Profile::ReadScope once(log);
    m_shown = storage::readStoredEntry(log, m_number);
    const storage::EntryView entry(log, m_number);
    m_numer->setText(QString::number(m_number));
    // One line: the text's line breaks show as spaces.
    std::string text = entry.storedText();
    std::replace(text.begin(), text.end(), '\x1F', ' ');
    static_cast<desktop::ElidingLabel*>(m_informacja)->setFullText(QString::fromStdString(text));
    m_data->setText(QString::fromStdString(entry.date("BŁĄD.")));
    m_dziennik->setText(description(*m_kind));
    m_usun->setEnabled(m_shown.occupied);
}

void Tusuwanie::remove() {
    if (!m_files || m_number < 0 || !m_kind) return;
    try {
        if (!storage::removeEntry(m_files->log(*m_kind), *m_kind, m_number,
                                  storage::RemovalOrder::DeleteWindow, m_shown)) {
            m_services.messages.show(this, kEntryChanged, desktop::MessageIcon::Warning);
            m_usun->setEnabled(false);
            return;
        }
    } catch (const std::exception&) {
        m_services.messages.show(this, kFailed, desktop::MessageIcon::Error);
        return;
    }
    m_deleted = true;
    closeWindow();
}

}  // namespace kv::entries
