#include "tedytowanie.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "datepicker.h"
#include "entryview.h"
#include "qtstorage.h"
#include "windowkit.h"

namespace kv::entries {

namespace {

constexpr const char* kBlad =
    "B\xC5\x82\xC4\x85"
    "d.";  // "Błąd."
constexpr const char* kEntryChanged =
    "This entry was changed or removed in its log since this window opened. Nothing was saved; "
    "close the window and open the entry again.";

FormTexts editTexts() {
    FormTexts t;
    t.caption = "Kalvex - editing an existing entry";
    t.subtitle = "Editing an information...";
    t.rja = "I'am the receiver of this message.";
    t.rwszyscy = "Any user of this computer could be a receiver.";
    t.configurationPage = "Configuration";
    t.configurationGroup = "Options:";
    t.dzwiekLabel = "Sound file to be played in background:";
    t.dzwiekPreset = "-select-";
    t.raz = "Display only once";
    t.rok = "Display every year";
    t.miesiac = "Display every month";
    t.kalendarzLabel = "Display the information at this day:";
    t.email = "Send an e-mail to:";
    t.strona = "Open web page:";
    t.program = "Start this program:";
    t.plik = "Perform an operation on this file:";
    t.cancelName = "anuluj";
    t.checks = {"No receiver selected.", "No receiver Windows profile name selected.",
                "No type of informaction chosen.",
                "No type of displaying a message chosen (once / every year).",
                "No activate date chosen."};
    return t;
}

using desktop::qs;

void checkMode(const std::string& mode, QRadioButton* raz, QRadioButton* rok,
               QRadioButton* miesiac) {
    if (mode == "raz") raz->setChecked(true);
    if (mode == "rok") rok->setChecked(true);
    if (mode == "miesiac") miesiac->setChecked(true);
}

}  // namespace

Tedytowanie::Tedytowanie(desktop::Services& services, QWidget* owner,
                         std::optional<storage::ActiveEntry> entry)
    : EntryForm(services, owner, editTexts()), m_handed(std::move(entry)) {
    setObjectName("Tedytowanie");
    QFont f("MS Sans Serif");
    f.setPointSize(8);
    setFont(f);
    setFixedSize(560, 409);
    for (QRadioButton* r : {m_rja, m_rwszyscy, m_rwybrany, m_raz, m_rok, m_miesiac})
        r->setEnabled(false);
    m_strona->setText("http://www.");
    m_program->setText(kPathPreset);
    m_plik->setText(kPathPreset);
    auto* note = desktop::named<QLabel>(
        "Label8",
        "Some of the options can not be modified from here. To change these options\n"
        "you need to create a new entry (and delete this one).",
        m_receiverGroup);
    QFont bold = note->font();
    bold.setBold(true);
    note->setFont(bold);
    addReceiverNote(note);
}

QString Tedytowanie::noStoreMessage() const {
    return "Kalvex was not installed properly. Reinstall the program.";
}

void Tedytowanie::fill() {
    fillTypes();
    m_typ->setCurrentRow(-1);
    m_typ->clearSelection();
    const storage::ActiveEntry active = m_handed ? *m_handed : m_files->exchange().activeEntry();
    if (active.number < 0) {
        fail("Could not find the entry that you were about to edit.");
        closeWindow();
        return;
    }
    if (!active.logRecorded()) {
        fail("Could not find the log to be edited.");
        closeWindow();
        return;
    }
    m_number = active.number;
    m_kind = storage::logKindFromKey(active.log);
    if (!m_kind) return;  // an unknown log: the presets stay

    const storage::Profile& log = m_files->log(*m_kind);
    const storage::Profile::ReadScope once(log);
    m_shown = storage::readStoredEntry(log, m_number);
    const storage::EntryView entry(log, m_number);
    m_tytul->setPlainText(qs(entry.subject(kBlad)));
    m_informacja->setPlainText(qs(entry.text(kBlad)));
    m_kalendarz->setText(qs(entry.date("?\?\?\?-?\?-?\?")));  // "????-??-??", no trigraphs
    m_dzwiek->setEditText(qs(entry.sound()));
    m_program->setText(qs(entry.program()));
    m_email->setText(qs(entry.email()));
    m_strona->setText(qs(entry.page()));
    m_plik->setText(qs(entry.file()));
    m_chemail->setChecked(!m_email->text().isEmpty());
    m_chprogram->setChecked(!m_program->text().isEmpty());
    m_chstrona->setChecked(m_strona->text() != "http://");
    m_chplik->setChecked(!m_plik->text().isEmpty());

    showReceiverAndMode(entry);
    // The stored type by its exact name; of equal lines the last one.
    const QString type = qs(entry.type("sdf"));
    for (int row = 0; row < m_typ->count(); ++row)
        if (m_typ->item(row)->text() == type) m_typ->setCurrentRow(row);
}

// The receiver and the way of display, as far as each log has them.
void Tedytowanie::showReceiverAndMode(const storage::EntryView& entry) {
    switch (*m_kind) {
        case storage::LogKind::Private:
            m_rja->setChecked(true);
            m_raz->setChecked(true);
            break;
        case storage::LogKind::Static:
            m_rja->setChecked(true);
            checkMode(entry.mode(), m_raz, m_rok, m_miesiac);
            break;
        case storage::LogKind::Public:
            if (entry.receiver() != "wszyscy") {
                m_odbiorca->setText(qs(entry.receiver("ERROR")));
                m_rja->setChecked(false);
                m_rwybrany->setChecked(true);
            } else {
                m_rwszyscy->setChecked(true);
            }
            checkMode(entry.mode(), m_raz, m_rok, m_miesiac);
            break;
    }
}

std::optional<QString> Tedytowanie::store() {
    // An entry that is not there (any more) is not brought back by a save.
    if (!m_kind || !m_shown.occupied ||
        !storage::rewriteEntry(m_files->log(*m_kind), *m_kind, m_number,
                               entryFromControls(m_odbiorca->text()), m_shown))
        return QString(kEntryChanged);
    return std::nullopt;
}

}  // namespace kv::entries
