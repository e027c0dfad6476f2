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
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_services(services),
      m_opener(opener),
      m_zegar(zegar) {
    setObjectName("Tedytor");
    setWindowTitle("Kalvex4");
    setModal(true);
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
    ukryte->add(QKeyCombination(Qt::Key_Escape), [this] { exitEditor(); });
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

    auto row = [&](std::initializer_list<std::pair<const char*, const char*>> buttons) {
        auto* r = new QHBoxLayout;
        r->setContentsMargins(8, 0, 8, 0);
        std::vector<QPushButton*> made;
        for (auto [name, text] : buttons) {
            auto* b = named<QPushButton>(name, text, this);
            b->setAutoDefault(false);
            r->addWidget(b);
            made.push_back(b);
        }
        layout->addLayout(r);
        return made;
    };
    const auto entryButtons = row({{"btn1", "Add an entry"},
                                   {"btn2", "Edit an entry"},
                                   {"btn3", "Delete an entry"},
                                   {"btn4", "Refresh list"}});
    const auto pageButtons = row({{"Button1", "Private user's log"},
                                  {"Button2", "Static user's log"},
                                  {"Button3", "Public log"},
                                  {"Button4", "Timer"}});

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

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(8, 0, 8, 0);
    bottom->addStretch(1);
    std::vector<QPushButton*> windowButtons;
    for (auto [name, text] :
         {std::pair{"btn5", "Configuration"}, {"btn6", "Help"}, {"btn7", "Exit editor"}}) {
        auto* b = named<QPushButton>(name, text, this);
        b->setAutoDefault(false);
        bottom->addWidget(b);
        windowButtons.push_back(b);
    }
    layout->addLayout(bottom);
    m_status = named<QLabel>("status", "Program status: Idle... Waiting for instructions...", this);
    m_status->setAutoFillBackground(true);
    m_status->setContentsMargins(8, 3, 8, 3);
    layout->addWidget(m_status);

    auto clicked = [this](QPushButton* b, void (Tedytor::*command)()) {
        connect(b, &QPushButton::clicked, this, [this, command] {
            click();
            (this->*command)();
        });
    };
    clicked(entryButtons[0], &Tedytor::addEntry);
    clicked(entryButtons[1], &Tedytor::editEntry);
    clicked(entryButtons[2], &Tedytor::deleteEntry);
    clicked(entryButtons[3], &Tedytor::armRebuild);
    clicked(windowButtons[0], &Tedytor::configure);
    clicked(windowButtons[1], &Tedytor::help);
    clicked(windowButtons[2], &Tedytor::exitEditor);
    for (int i = 0; i < 4; ++i)
        connect(pageButtons[static_cast<std::size_t>(i)], &QPushButton::clicked, this, [this, i] {
            click();
            showPage(i);
        });

    m_edit1 = named<QLineEdit>("Edit1", this);
    m_edit1->hide();
}

QString Tedytor::clickSoundPath() {
    const QDir program(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {program.filePath("share/kalvex4/click.wav"),
                                     program.filePath("../share/kalvex4/click.wav")})
        if (QFileInfo::exists(candidate)) return QDir::cleanPath(candidate);
    return program.filePath("../share/kalvex4/click.wav");
}

void Tedytor::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    desktop::centre(this);
    showPage(0);
    QTimer::singleShot(0, this, [this] {
        open();
        m_opened = true;
    });
}

void Tedytor::open() {
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

void Tedytor::installHoverHelp() {
    const std::pair<const char*, const char*> table[] = {
        {"btn1", "Add and configure a new entry to one of the logs."},
        {"btn2", "Edit one of the existing entries (entry must be selected first)."},
        {"btn3", "Delete ont of the existing entries (must be selected first)."},
        {"btn4", "Refresh all the lists in Kalvex."},
        {"Button1", "Display details of a private user log."},
        {"Button2", "Display details of a steady user log"},
        {"Button3", "Display details of a public log."},
        {"Button4", "Display timer page: start/ stop timer, set up a timer message."},
        {"btn5", "Modify program options: colors, access paths, autostart."},
        {"btn6", "Open Kalvex4 documentation (html)."},
        {"btn7", "Close this editor (NOT all the program)."},
        {"lista", "Displays all entries in the private log."},
        {"podglad", "Details of a selected item (entry)."},
        {"logo2", "Current program status."},
        {"zegar2", "Clock."},
        {"hh", "Timer will set off at this hour..."},
        {"mm", "..with this many minutes..."},
        {"ss", "...and this many seconds."},
        {"timer_info", "Information to be displayed when timer set off."},
        {"btn8",
         "Starts/ Stops the timer. When text \"Start the timer\" is visible - turns the "
         "timer on."},
    };
    for (auto [name, text] : table) {
        QWidget* control = findChild<QWidget*>(name);
        // A scrolled control gets the mouse on its viewport.
        if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) {
            m_hoverTexts.insert(area->viewport(), text);
            area->viewport()->installEventFilter(this);
        }
        m_hoverTexts.insert(control, text);
        control->installEventFilter(this);
    }
    m_status->installEventFilter(this);
    // The window's background, the title, the page area and the group boxes.
    m_noticeAreas << this << findChild<QWidget*>("logo") << m_notatnik;
    for (int i = 0; i < m_notatnik->count(); ++i) m_noticeAreas << m_notatnik->widget(i);
    for (QGroupBox* group : findChildren<QGroupBox*>()) m_noticeAreas << group;
    for (QObject* area : m_noticeAreas) {
        static_cast<QWidget*>(area)->setMouseTracking(true);
        area->installEventFilter(this);
    }
    findChild<QWidget*>("logo3")->installEventFilter(this);
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

bool Tedytor::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Enter || e->type() == QEvent::MouseMove) {
        if (const auto it = m_hoverTexts.constFind(watched); it != m_hoverTexts.constEnd()) {
            if (e->type() == QEvent::Enter) setStatus(*it);
        } else if (watched == m_status) {
            if (e->type() == QEvent::Enter) setStatus("Program version: " + m_version + ".");
        } else if (m_noticeAreas.contains(watched)) {
            // Only the area itself: over a label the field keeps what it had.
            const QPoint at = e->type() == QEvent::Enter
                                  ? static_cast<QEnterEvent*>(e)->globalPosition().toPoint()
                                  : static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
            QWidget* under = QApplication::widgetAt(at);
            if (!under || under == watched) setStatus(kNoticeLine);
        }
    }
    if (e->type() == QEvent::MouseButtonRelease && watched == findChild<QObject*>("logo3"))
        setStatus(kNoticeLine);
    if (e->type() == QEvent::MouseButtonRelease)
        for (LogPage& page : m_pages)
            if (watched == page.preview->viewport() &&
                static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
                // Deferred: the edit window opens after the click is done.
                LogPage* p = &page;
                QTimer::singleShot(0, this, [this, p] { editSelected(*p); });
            }
    return QDialog::eventFilter(watched, e);
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

void Tedytor::exitEditor() {
    // Closing from inside a command must wait until exec() runs its loop.
    QTimer::singleShot(0, this, [this] { accept(); });
}

}  // namespace kv::editor
