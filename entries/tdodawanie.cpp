#include "tdodawanie.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QToolButton>

#include "entrymessages.h"
#include "windowkit.h"

namespace kv::entries {

namespace {

FormTexts newEntryTexts() {
    FormTexts t;
    t.caption = "Kalvex - creating a new information";
    t.subtitle = "Creating a new infromation...";
    t.rja = "I am receiver of this information.";
    t.rwszyscy = "Any user of this computer.";
    t.configurationPage = "Main configuration";
    t.configurationGroup = "Configuration:";
    t.dzwiekLabel = "Sound to be played (FROM SYSTEM SOUNDS):";
    t.dzwiekPreset = "-choose-";
    t.raz = "Display the message once";
    t.rok = "Display the message every year";
    t.miesiac = "Display the message every month";
    t.kalendarzLabel = "Display the message at this day:";
    t.email = "Send e-mail to this person:";
    t.strona = "Open this web page:";
    t.program = "Open this program:";
    t.plik = "Perform an operation on this file:";
    t.cancelName = "anulujbtn";
    t.checks = {"You have not chosen a receiver.",
                "A field with a profile name of the receiver is empty.",
                "You have not chosen an information type.",
                "You have not choosen the way of displaying a message (once/ every year).",
                "Date not chosen. Open the calendar by clicking on the \"15\" icon."};
    return t;
}

}  // namespace

Tdodawanie::Tdodawanie(desktop::Services& services, QWidget* owner)
    : EntryForm(services, owner, newEntryTexts()) {
    setObjectName("Tdodawanie");
    QFont f("Verdana");
    f.setPointSize(8);
    setFont(f);
    setFixedSize(559, 409);

    m_rja->setChecked(true);
    m_raz->setChecked(true);
    m_strona->setText("http://www.");
    m_program->setText(kPathPreset);
    m_plik->setText(kPathPreset);

    addConfigurationNote(desktop::named<QLabel>(
        "Label4",
        "If you choose \"display every year\" option, than you can select any year in the\n"
        "calendar. It has no meaning.",
        m_configurationGroup));

    auto* group4 = m_extensions->findChild<QGroupBox*>("GroupBox4");
    auto* browseProgram = desktop::named<QToolButton>("ProSpeedButton1", group4);
    auto* browseFile = desktop::named<QToolButton>("ProSpeedButton2", group4);
    for (QToolButton* b : {browseProgram, browseFile}) {
        b->setText("...");
        b->setFocusPolicy(Qt::StrongFocus);
    }
    browseProgram->setAccessibleName("Browse for the program");
    browseFile->setAccessibleName("Browse for the file");
    addBrowseButtons(browseProgram, browseFile);
    auto* note7 = desktop::named<QLabel>(
        "Label7",
        "The function \"perform an operation on a file\" allows you to open or run any file\n"
        "form the hard drive.\n"
        "eg. 1. if you choose a text file, it will be opened with default editor.\n"
        "      2. if you choose a program, this program will be started.",
        group4);
    addExtensionsNote(note7);

    // Typing into a field says what the user wants: its action, its receiver.
    connect(m_odbiorca, &QLineEdit::textChanged, this, [this] { m_rwybrany->setChecked(true); });
    for (auto [field, box] : {std::pair{m_email, m_chemail}, std::pair{m_strona, m_chstrona},
                              std::pair{m_program, m_chprogram}, std::pair{m_plik, m_chplik}})
        connect(field, &QLineEdit::textChanged, box, [box] { box->setChecked(true); });
    connect(browseProgram, &QToolButton::clicked, this,
            [this] { browse(m_program, desktop::FileKind::Program, kProgramFolder); });
    connect(browseFile, &QToolButton::clicked, this,
            [this] { browse(m_plik, desktop::FileKind::Any, QDir::homePath()); });
}

QString Tdodawanie::noStoreMessage() const {
    return "W rejestrze nie ma wpisu o Kalvex. Zamknij program i przeczytaj instrukcję obsługi.";
}

void Tdodawanie::fill() {
    fillTypes();
    m_typ->setCurrentRow(0);
}

void Tdodawanie::browse(QLineEdit* field, desktop::FileKind kind, const QString& folder) {
    // A cancelled dialog leaves what the user typed (and its tick) alone.
    if (const std::optional<QString> file =
            m_services.dialogs.openFile(this, QString(), folder, kind))
        field->setText(*file);
}

std::optional<QString> Tdodawanie::store() {
    const storage::LogKind kind = storage::chooseLog(*receiver(), *displayMode());
    if (storage::addEntry(m_files->log(kind), kind,
                          entryFromControls(m_odbiorca->text().toUpper())))
        return std::nullopt;
    return fullLogMessage(QString::fromStdString(m_files->log(kind).path()));
}

}  // namespace kv::entries
