#include "entryform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "colours.h"
#include "datepicker.h"
#include "entrymessages.h"
#include "infotypes.h"
#include "soundalias.h"
#include "windowcommands.h"
#include "windowkit.h"

namespace kv::entries {

using desktop::labelFor;
using desktop::named;

QStringList soundAliases() {
    return desktop::systemSoundAliases();
}

void uncheckAll(std::initializer_list<QRadioButton*> radios) {
    for (QRadioButton* r : radios) {
        r->setAutoExclusive(false);
        r->setChecked(false);
        r->setAutoExclusive(true);
    }
}

EntryForm::EntryForm(desktop::Services& services, QWidget* owner, const FormTexts& texts)
    : desktop::Window(owner), m_services(services), m_checks(texts.checks) {
    setWindowTitle(texts.caption);
    build(texts);
    auto* commands = new desktop::WindowCommands(this);
    commands->add(QKeyCombination(Qt::Key_Return), [this] { m_save->click(); });
    commands->add(QKeyCombination(Qt::Key_Enter), [this] { m_save->click(); });
    commands->add(QKeyCombination(Qt::Key_Escape), [this] { m_cancel->click(); });
}

void EntryForm::build(const FormTexts& t) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->setSpacing(4);
    const desktop::Banner banner = desktop::addBanner(this, layout, "Kalvex4", t.subtitle);
    m_logo = banner.logo;
    m_logo2 = banner.logo2;

    m_strony = named<QTabWidget>("strony", this);
    auto* pages = new QWidget;
    auto* pagesLayout = new QVBoxLayout(pages);
    pagesLayout->setContentsMargins(8, 0, 8, 0);
    pagesLayout->addWidget(m_strony);
    layout->addWidget(pages, 1);
    m_strony->addTab(buildInformationPage(), "Information");
    m_strony->addTab(buildReceiverPage(t), "Receiver");
    m_strony->addTab(buildConfigurationPage(t), t.configurationPage);
    m_strony->addTab(buildExtensionsPage(t), "Extensions");

    buildButtons(t);
    layout->addLayout(desktop::buttonRow({m_cancel, m_save}));
}

QWidget* EntryForm::buildInformationPage() {
    auto* info = new QWidget;
    auto* group1 = named<QGroupBox>("GroupBox1", "Information to be added to the log:", info);
    auto* g1 = new QGridLayout(group1);
    m_tytul = named<QPlainTextEdit>("tytul", group1);
    m_tytul->setTabChangesFocus(true);
    m_tytul->setFixedHeight(44);
    m_informacja = named<QPlainTextEdit>("informacja", group1);
    m_informacja->setTabChangesFocus(true);
    g1->addWidget(labelFor(group1, "Label1", "&Subject:", m_tytul), 0, 0, Qt::AlignTop);
    g1->addWidget(m_tytul, 0, 1);
    g1->addWidget(labelFor(group1, "Label2", "&Text of information:", m_informacja), 1, 0,
                  Qt::AlignTop);
    g1->addWidget(m_informacja, 1, 1);
    (new QVBoxLayout(info))->addWidget(group1);
    return info;
}

QWidget* EntryForm::buildReceiverPage(const FormTexts& t) {
    auto* receiverPage = new QWidget;
    auto* group2 = named<QGroupBox>("GroupBox2", "Type of the receiver:", receiverPage);
    m_receiverGroup = group2;
    auto* g2 = m_receiverGrid = new QGridLayout(group2);
    m_rja = named<QRadioButton>("rja", t.rja, group2);
    m_rwszyscy = named<QRadioButton>("rwszyscy", t.rwszyscy, group2);
    m_rwybrany = named<QRadioButton>("rwybrany", "Receiver's Windows profile name:", group2);
    m_odbiorca = named<QLineEdit>("odbiorca_nazwa", group2);
    m_odbiorca->setAccessibleName(m_rwybrany->text());
    g2->addWidget(m_rja, 0, 0, 1, 2);
    g2->addWidget(m_rwszyscy, 1, 0, 1, 2);
    g2->addWidget(m_rwybrany, 2, 0);
    g2->addWidget(m_odbiorca, 2, 1);
    g2->setRowStretch(3, 1);
    auto* receiverLayout = new QVBoxLayout(receiverPage);
    receiverLayout->addWidget(group2);
    return receiverPage;
}

QWidget* EntryForm::buildConfigurationPage(const FormTexts& t) {
    auto* configPage = new QWidget;
    auto* group3 = named<QGroupBox>("GroupBox3", t.configurationGroup, configPage);
    m_configurationGroup = group3;
    auto* g3 = m_configurationGrid = new QGridLayout(group3);
    m_typ = named<QListWidget>("typ", group3);
    m_typ->setSelectionMode(QAbstractItemView::SingleSelection);
    m_dzwiek = named<QComboBox>("dzwiek", group3);
    m_dzwiek->setEditable(true);
    m_dzwiek->addItems(soundAliases());
    m_dzwiek->setCurrentIndex(-1);
    m_dzwiek->setEditText(t.dzwiekPreset);
    m_raz = named<QRadioButton>("wyswietl_raz", t.raz, group3);
    m_rok = named<QRadioButton>("wyswietl_rok", t.rok, group3);
    m_miesiac = named<QRadioButton>("wyswietl_miesiac", t.miesiac, group3);
    m_kalendarz = named<desktop::DatePicker>("kalendarz", group3);
    g3->addWidget(labelFor(group3, "Label3", "T&ype of information:", m_typ), 0, 0);
    g3->addWidget(m_typ, 1, 0, 5, 1);
    g3->addWidget(labelFor(group3, "Label5", t.dzwiekLabel, m_dzwiek), 0, 1);
    g3->addWidget(m_dzwiek, 1, 1);
    g3->addWidget(m_raz, 2, 1);
    g3->addWidget(m_rok, 3, 1);
    g3->addWidget(m_miesiac, 4, 1);
    QLabel* dateLabel = labelFor(group3, "Label6", t.kalendarzLabel, m_kalendarz);
    m_kalendarz->edit()->setAccessibleName(m_kalendarz->accessibleName());
    dateLabel->setBuddy(m_kalendarz->edit());
    g3->addWidget(dateLabel, 6, 0);
    g3->addWidget(m_kalendarz, 6, 1);
    g3->setRowStretch(7, 1);
    (new QVBoxLayout(configPage))->addWidget(group3);
    return configPage;
}

QWidget* EntryForm::buildExtensionsPage(const FormTexts& t) {
    m_extensions = new QWidget;
    auto* group4 = named<QGroupBox>("GroupBox4", "Extensions:", m_extensions);
    auto* g4 = m_extensionsGrid = new QGridLayout(group4);
    g4->addWidget(named<QLabel>("Label9", "Allow the receiver to:", group4), 0, 0, 1, 3);
    auto row = [&](int r, const char* tick, const char* field, const QString& text, QCheckBox*& box,
                   QLineEdit*& edit) {
        box = named<QCheckBox>(tick, text, group4);
        edit = named<QLineEdit>(field, group4);
        edit->setAccessibleName(text);
        g4->addWidget(box, r, 0);
        g4->addWidget(edit, r, 1);
    };
    row(1, "chemail", "email", t.email, m_chemail, m_email);
    row(2, "chstrona", "strona", t.strona, m_chstrona, m_strona);
    row(3, "chprogram", "program_nazwa", t.program, m_chprogram, m_program);
    row(4, "chplik", "plik", t.plik, m_chplik, m_plik);
    g4->setColumnStretch(1, 1);
    g4->setRowStretch(6, 1);
    (new QVBoxLayout(m_extensions))->addWidget(group4);
    return m_extensions;
}

void EntryForm::addReceiverNote(QWidget* note) {
    m_receiverGrid->addWidget(note, 4, 0, 1, 2);
}

void EntryForm::addConfigurationNote(QWidget* note) {
    m_configurationGrid->addWidget(note, 7, 0, 1, 2);
}

void EntryForm::addBrowseButtons(QWidget* program, QWidget* file) {
    m_extensionsGrid->addWidget(program, 3, 2);
    m_extensionsGrid->addWidget(file, 4, 2);
}

void EntryForm::addExtensionsNote(QWidget* note) {
    m_extensionsGrid->addWidget(note, 5, 0, 1, 3);
}

void EntryForm::buildButtons(const FormTexts& t) {
    m_cancel = named<QPushButton>(t.cancelName, "Cancel", this);
    m_save = named<QPushButton>("zapiszbtn", "Save", this);
    connect(m_cancel, &QPushButton::clicked, this, [this] { closeWindow(); });
    connect(m_save, &QPushButton::clicked, this, [this] {
        if (m_files) save();
    });

    m_edit1 = named<QLineEdit>("Edit1", this);
    m_edit1->hide();
}

void EntryForm::load() {
    const desktop::Opening opening = desktop::openFileSet(m_edit1, m_files);
    if (opening.result == desktop::Opening::NoStore) {
        m_services.messages.show(this, noStoreMessage(), desktop::MessageIcon::Error);
        closeWindow();
        return;
    }
    if (opening.result == desktop::Opening::Refused) {
        m_services.messages.show(this, opening.error, desktop::MessageIcon::Error);
        return;
    }
    desktop::applyUserColours(this, m_files->location(),
                              storage::entryColourRules(m_cancel->objectName().toStdString()));
    fill();
    // The first keys typed go into the subject, not to the page tabs.
    m_strony->setCurrentIndex(0);
    m_tytul->setFocus(Qt::OtherFocusReason);
}

void EntryForm::fillTypes() {
    const std::string folder = m_files->location().folders.sciezka;
    m_typ->clear();
    for (const std::string& name :
         storage::readTypeList(storage::Profile(folder + "style_list.ini", storage::kSystemFile)))
        m_typ->addItem(QString::fromStdString(name));
}

std::optional<storage::Receiver> EntryForm::receiver() const {
    if (m_rja->isChecked()) return storage::Receiver::Me;
    if (m_rwszyscy->isChecked()) return storage::Receiver::Everyone;
    if (m_rwybrany->isChecked()) return storage::Receiver::Named;
    return std::nullopt;
}

std::optional<storage::DisplayMode> EntryForm::displayMode() const {
    if (m_raz->isChecked()) return storage::DisplayMode::Once;
    if (m_rok->isChecked()) return storage::DisplayMode::Yearly;
    if (m_miesiac->isChecked()) return storage::DisplayMode::Monthly;
    return std::nullopt;
}

bool EntryForm::dateChosen() const {
    return m_kalendarz->text() != desktop::DatePicker::kBlank;
}

// Every check runs, in order, each failure with its own message box.
bool EntryForm::inputAccepted() {
    bool ok = true;
    if (!receiver()) ok = fail(m_checks[0]);
    // A name of blanks only names nobody: the entry would never be shown.
    if (m_rwybrany->isChecked() && m_odbiorca->text().trimmed().isEmpty()) ok = fail(m_checks[1]);
    if (m_typ->selectedItems().isEmpty()) ok = fail(m_checks[2]);
    if (!displayMode()) ok = fail(m_checks[3]);
    if (!dateChosen())
        ok = fail(m_checks[4]);
    else if (!desktop::DatePicker::isRealDate(m_kalendarz->text()))
        ok = fail(notADayMessage(m_kalendarz->text()));
    return ok && pastDateAccepted();
}

// A once-only message dated before today is never announced: saved only when meant.
bool EntryForm::pastDateAccepted() {
    const QDate date = QDate::fromString(m_kalendarz->text(), "yyyy-MM-dd");
    if (displayMode() != storage::DisplayMode::Once || date >= m_services.clock.now().date())
        return true;
    return m_services.messages.ask(this, pastDateMessage(m_kalendarz->text()),
                                   desktop::MessageIcon::Warning) == desktop::Answer::Yes;
}

void EntryForm::save() {
    if (!inputAccepted()) return;
    std::optional<QString> refusal;
    try {
        refusal = store();
    } catch (const storage::WriteError& e) {
        refusal = QString::fromStdString(e.what());
    }
    if (refusal) {
        if (!refusal->isEmpty()) fail(*refusal);
        return;
    }
    m_saved = true;
    closeWindow();
}

bool EntryForm::fail(const QString& message) {
    m_services.messages.show(this, message, desktop::MessageIcon::Error);
    return false;
}

storage::EntryData EntryForm::entryFromControls(const QString& receiverName) const {
    storage::EntryData e;
    e.tytul = m_tytul->toPlainText().toStdString();
    e.informacja = m_informacja->toPlainText().toStdString();
    e.data = m_kalendarz->text().toStdString();
    const QList<QListWidgetItem*> chosen = m_typ->selectedItems();
    e.typ = chosen.isEmpty() ? std::string() : chosen.front()->text().toStdString();
    e.dzwiek = m_dzwiek->currentText().toStdString();
    if (const std::optional<storage::DisplayMode> mode = displayMode())
        e.wyswietlanie = std::string(storage::displayModeValue(*mode));
    e.odbiorca = m_rwybrany->isChecked() ? receiverName.toStdString() : std::string("wszyscy");
    auto action = [](const QCheckBox* box, const QLineEdit* field) -> std::optional<std::string> {
        if (!box->isChecked()) return std::nullopt;
        return field->text().toStdString();
    };
    e.email = action(m_chemail, m_email);
    e.strona = action(m_chstrona, m_strona);
    e.program = action(m_chprogram, m_program);
    e.plik = action(m_chplik, m_plik);
    return e;
}

}  // namespace kv::entries
