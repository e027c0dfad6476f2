#include "tedytor.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "alarmclock.h"
#include "clocklabel.h"
#include "colours.h"
#include "colourscheme.h"
#include "editortexts.h"
#include "exchange.h"
#include "logbook.h"
#include "windowcommands.h"
#include "windowkit.h"

namespace kv::editor {

namespace {

using desktop::labelFor;
using desktop::named;

constexpr const char* kNoStore =
    "W rejestrze nie ma wpisu o Kalvex4. Zajrzyj do instrukcji obsługi.";

}  // namespace

Tedytor::Tedytor(desktop::Services& services, desktop::WindowOpener& opener, QWidget* owner,
                 desktop::AlarmClock* zegar)
    : desktop::Window(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_services(services),
      m_opener(opener),
      m_zegar(zegar) {
    setObjectName("Tedytor");
    setWindowTitle("Kalvex4");
    QFont f("Verdana");
    f.setPointSize(8);
    setFont(f);
    setFixedSize(561, 593);
    const QString noDate = "Nie znaleziono daty deaktywacji.";
    m_pages[0].kind = storage::LogKind::Private;
    m_pages[0].dateDefault = noDate;
    m_pages[1].kind = storage::LogKind::Static;
    m_pages[1].dateDefault = "Nieznana data.";
    m_pages[2].kind = storage::LogKind::Public;
    m_pages[2].dateDefault = noDate;
    buildWindow();

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName("Timer1");
    m_timer1->setInterval(1);
    m_timer1->setSingleShot(true);
    connect(m_timer1, &QTimer::timeout, this, &Tedytor::rebuildLists);

    // Commands of the whole window, whichever control has the focus.
    auto* ukryte = new desktop::WindowCommands(this);
    ukryte->setObjectName("ukryte");
    auto withClick = [this](void (Tedytor::*command)()) {
        return [this, command] {
            click();
            (this->*command)();
        };
    };
    ukryte->add(QKeyCombination(Qt::CTRL, Qt::Key_N), [this] { addEntry(); });
    ukryte->add(QKeyCombination(Qt::CTRL, Qt::Key_E), withClick(&Tedytor::editEntry));
    ukryte->add(QKeyCombination(Qt::Key_Delete), withClick(&Tedytor::deleteEntry));
    ukryte->add(QKeyCombination(Qt::CTRL, Qt::Key_R), withClick(&Tedytor::armRebuild));
    ukryte->add(QKeyCombination(Qt::CTRL, Qt::Key_C), withClick(&Tedytor::configure));
    ukryte->add(QKeyCombination(Qt::CTRL, Qt::Key_H), withClick(&Tedytor::help));
    ukryte->add(QKeyCombination(Qt::Key_Escape), [this] { closeWindow(); });
    ukryte->add(QKeyCombination(Qt::Key_Return), [] {});
    ukryte->add(QKeyCombination(Qt::Key_Enter), [] {});
    ukryte->add(QKeyCombination(Qt::CTRL, Qt::Key_V), [this] { showVersion(); });
    installHoverHelp();
    if (m_zegar) {
        m_btn8->setEnabled(true);
        connect(m_btn8, &QPushButton::clicked, this, &Tedytor::startStopTimer);
        // An alarm that went off and was disarmed is no timer running.
        connect(m_zegar, &desktop::AlarmClock::enabledChanged, this, [this](bool on) {
            if (!on) m_btn8->setText("Start the timer.");
        });
    }
}

void Tedytor::buildWindow() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    buildBanner(layout);
    buildCommandRows(layout);
    buildPages(layout);
    buildFooter(layout);
    m_edit1 = named<QLineEdit>("Edit1", this);
    m_edit1->hide();
}

void Tedytor::buildBanner(QVBoxLayout* layout) {
    auto* logo3 = named<QLabel>("logo3", this);
    logo3->setFixedHeight(6);
    logo3->setAutoFillBackground(true);
    auto* logo = named<QLabel>("logo", "Kalvex4 Editor", this);
    logo->setFixedHeight(50);
    QFont big = logo->font();
    big.setPointSize(18);
    big.setBold(true);
    logo->setFont(big);
    logo->setAutoFillBackground(true);
    logo->setContentsMargins(10, 0, 10, 0);
    m_logo2 = named<QLabel>("logo2", "Loading data... please wait...", this);
    m_logo2->setAutoFillBackground(true);
    m_logo2->setContentsMargins(10, 2, 10, 2);
    layout->addWidget(logo3);
    layout->addWidget(logo);
    layout->addWidget(m_logo2);
}

// A button that clicks, then runs its command.
void Tedytor::connectCommand(QPushButton* button, void (Tedytor::*command)()) {
    connect(button, &QPushButton::clicked, this, [this, command] {
        click();
        (this->*command)();
    });
}

std::vector<QPushButton*> Tedytor::buttonRow(
    QBoxLayout* into, std::initializer_list<std::pair<const char*, const char*>> buttons) {
    std::vector<QPushButton*> made;
    for (auto [name, text] : buttons) {
        auto* b = named<QPushButton>(name, text, this);
        b->setAutoDefault(false);
        into->addWidget(b);
        made.push_back(b);
    }
    return made;
}

void Tedytor::buildCommandRows(QVBoxLayout* layout) {
    auto row = [&](std::initializer_list<std::pair<const char*, const char*>> buttons) {
        auto* r = new QHBoxLayout;
        r->setContentsMargins(8, 0, 8, 0);
        layout->addLayout(r);
        return buttonRow(r, buttons);
    };
    const auto entryButtons = row({{"btn1", "Add an entry"},
                                   {"btn2", "Edit an entry"},
                                   {"btn3", "Delete an entry"},
                                   {"btn4", "Refresh list"}});
    const auto pageButtons = row({{"Button1", "Private user's log"},
                                  {"Button2", "Static user's log"},
                                  {"Button3", "Public log"},
                                  {"Button4", "Timer"}});
    connectCommand(entryButtons[0], &Tedytor::addEntry);
    connectCommand(entryButtons[1], &Tedytor::editEntry);
    connectCommand(entryButtons[2], &Tedytor::deleteEntry);
    connectCommand(entryButtons[3], &Tedytor::armRebuild);
    for (int i = 0; i < 4; ++i)
        connect(pageButtons[static_cast<std::size_t>(i)], &QPushButton::clicked, this, [this, i] {
            click();
            showPage(i);
        });
}

void Tedytor::buildPages(QVBoxLayout* layout) {
    m_notatnik = named<QStackedWidget>("notatnik", this);
    m_notatnik->setAutoFillBackground(true);
    m_notatnik->addWidget(buildLogPage(
        m_pages[0], {"log", "Private user's log", "lista", "GroupBox1",
                     "A list of entries in this log:", "GroupBox2", "Will become active:", "wygasa",
                     "podglad", "Select an entry by clicking on it in the list above."}));
    m_notatnik->addWidget(
        buildLogPage(m_pages[1], {"log_staly", "Static user's log", "lista_stala", "GroupBox3",
                                  "A list of entries in this log:", "GroupBox4",
                                  "Program will display this message:", "wygasa_staly",
                                  "podglad_staly", "Select an entry on the above list."}));
    m_notatnik->addWidget(buildLogPage(
        m_pages[2], {"log_glowny", "Public log", "lista_glowna", "GroupBox5",
                     "A list of entries in the log:", "GroupBox6", "Will become active:",
                     "wygasa_glowny", "podglad_glowny", "Select an entry from the above list."}));
    m_notatnik->addWidget(buildTimerPage());
    auto* pad = new QHBoxLayout;
    pad->setContentsMargins(8, 0, 8, 0);
    pad->addWidget(m_notatnik);
    layout->addLayout(pad, 1);
}

void Tedytor::buildFooter(QVBoxLayout* layout) {
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(8, 0, 8, 0);
    bottom->addStretch(1);
    const auto windowButtons =
        buttonRow(bottom, {{"btn5", "Configuration"}, {"btn6", "Help"}, {"btn7", "Exit editor"}});
    layout->addLayout(bottom);
    m_status = named<QLabel>("status", "Program status: Idle... Waiting for instructions...", this);
    m_status->setAutoFillBackground(true);
    m_status->setContentsMargins(8, 3, 8, 3);
    layout->addWidget(m_status);
    connectCommand(windowButtons[0], &Tedytor::configure);
    connectCommand(windowButtons[1], &Tedytor::help);
    connectCommand(windowButtons[2], &Tedytor::closeWindow);
}

QString Tedytor::clickSoundPath() {
    const QDir program(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {program.filePath("share/kalvex4/click.wav"),
                                     program.filePath("../share/kalvex4/click.wav")})
        if (QFileInfo::exists(candidate)) return QDir::cleanPath(candidate);
    return program.filePath("../share/kalvex4/click.wav");
}

void Tedytor::firstShown() {
    showPage(0);
}

void Tedytor::load() {
    const desktop::Opening opening = desktop::openFileSet(m_edit1, m_files);
    if (opening.result != desktop::Opening::Opened) {
        m_services.messages.show(
            this, opening.result == desktop::Opening::NoStore ? kNoStore : opening.error,
            desktop::MessageIcon::Error);
        return;
    }
    applyColours();
    m_version = qs(m_files->exchange().version("(unknown version)"));
    m_logo2->setText("Welcome in Kalvex, " + m_edit1->text() +
                     ". Your logs were opened. Today is " +
                     m_services.clock.now().date().toString("yyyy-MM-dd") + ".");
    for (LogPage& page : m_pages) page.count = page.selected = -1;
    readBackTimer();
    armRebuild();
}

void Tedytor::setStatus(const QString& text) {
    m_status->setText(text);
}

void Tedytor::applyColours() {
    if (!m_files) return;
    const storage::Location& location = m_files->location();
    const storage::Profile colours(storage::colourFileName(location.folders.sciezka, location.user),
                                   storage::kPrivateFile);
    const storage::Profile::ReadScope once(colours);
    storage::ColourRules pageRules;
    for (const char* key : storage::kPageColourKeys)
        pageRules.push_back({"", storage::ColourRole::Background, key, storage::paintDefault(key)});
    const std::vector<storage::ColourValue> values = storage::readColours(colours, pageRules);
    for (std::size_t i = 0; i < m_pageColours.size(); ++i)
        m_pageColours[i] = desktop::toQColor(values[i]);
    desktop::applyColourScheme(this, colours, storage::editorColourRules());
    // Until a page is chosen the page area shows the window's own colour.
    const QColor area =
        m_pageColoured
            ? m_pageColours[static_cast<std::size_t>(std::min(m_notatnik->currentIndex(), 3))]
            : palette().color(QPalette::Window);
    desktop::setControlColour(this, "notatnik", storage::ColourRole::Background, area);
}

void Tedytor::showPage(int index) {
    m_notatnik->setCurrentIndex(index);
    if (!m_files) return;
    m_pageColoured = true;
    desktop::setControlColour(this, "notatnik", storage::ColourRole::Background,
                              m_pageColours[static_cast<std::size_t>(index)]);
}

void Tedytor::armRebuild() {
    m_timer1->start();
}

void Tedytor::click() {
    m_services.sound.playFile(clickSoundPath());
}

void Tedytor::addEntry() {
    m_opener.openNewEntry(this);
    armRebuild();
}

void Tedytor::configure() {
    m_opener.openConfiguration(this);
    applyColours();
}

void Tedytor::help() {
    if (!m_files) return;
    m_services.shell.open(qs(m_files->location().folders.sciezka) + "help/index.html");
}

void Tedytor::showVersion() {
    m_services.messages.show(
        this, "Kalvex version: " + m_version + "EXE ENG Public (freeware/ shareware)",
        desktop::MessageIcon::Information);
}

}  // namespace kv::editor
