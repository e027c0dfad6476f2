#include "treminder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <iostream>

#include "bannerfont.h"
#include "daywatch.h"
#include "exchange.h"
#include "hints.h"
#include "qtstorage.h"
#include "settings.h"
#include "tray.h"
#include "windowkit.h"

namespace kv::app {

namespace {

constexpr const char* kNoStore =
    "W rejestrze nie ma wpisu o Kalvex4. Zajrzyj do instrukcji obsługi.";
constexpr const char* kAutostartRefused =
    "The start with the session could not be changed: the autostart entry could not be "
    "written. Nothing was changed.";
constexpr const char* kTimerWarning =
    "The timer message will not be displayed after you close this program.";

}  // namespace

Treminder::Treminder(desktop::Services& services, desktop::WindowOpener& opener, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_services(services),
      m_opener(opener) {
    setObjectName("Treminder");
    setWindowTitle("Kalvex4");
    desktop::applyHintSettings();
    buildWindow();
    buildMenu();
    m_tray = new desktop::Tray(this, m_popup, m_popup->actions().value(0),
                               "Kalvex - working in background.");
    connect(m_tray, &desktop::Tray::missing, this, &Treminder::tellNoTray);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName("Timer1");
    m_timer1->setInterval(2000);
    m_timer1->setSingleShot(true);
    connect(m_timer1, &QTimer::timeout, this, [this] { m_tray->hideWindow(); });

    m_timer2 = new QTimer(this);
    m_timer2->setObjectName("Timer2");
    m_timer2->setInterval(120000);
    connect(m_timer2, &QTimer::timeout, this, &Treminder::periodicCheck);
    m_timer2->start();

    m_snooze = new QTimer(this);
    m_snooze->setObjectName("drzemka");
    m_snooze->setSingleShot(true);
    m_snooze->setTimerType(Qt::VeryCoarseTimer);
    connect(m_snooze, &QTimer::timeout, this, [this] {
        if (m_check) guarded([this] { m_check->snoozeCheck(); });
    });
    m_dayWatch = new desktop::DayWatch(services.clock, this);
    m_dayWatch->setObjectName("dzien");
    connect(m_dayWatch, &desktop::DayWatch::dateMayHaveMoved, this, &Treminder::followTheDate);

    m_zegar = new desktop::AlarmClock(services.clock, this);
    m_zegar->setObjectName("zegar");
    connect(m_zegar, &desktop::AlarmClock::alarm, this, &Treminder::onAlarm);

    // What the files could not do but the run survives (a log that cannot be
    // read, a shared file that cannot be used) is said once, after the
    // operation that found it, never in the middle of a read.
    m_previousNotices = storage::setNoticeHandler([this](const std::string& text) {
        QMetaObject::invokeMethod(
            this,
            [this, text] {
                m_services.messages.show(this, QString::fromStdString(text),
                                         desktop::MessageIcon::Warning);
            },
            Qt::QueuedConnection);
    });
}

Treminder::~Treminder() {
    storage::setNoticeHandler(std::move(m_previousNotices));
}

// The title strip, with the version it has read.
QWidget* Treminder::buildBanner() {
    auto* panel = new QWidget(this);
    panel->setObjectName("Panel2");
    panel->setFixedHeight(55);
    panel->setAutoFillBackground(true);
    QPalette pp = panel->palette();
    pp.setColor(QPalette::Window, desktop::toQColor(5845288));
    pp.setColor(QPalette::WindowText, desktop::toQColor(14996892));
    panel->setPalette(pp);
    auto* panelLayout = new QHBoxLayout(panel);
    auto* caption = new QLabel("Kalvex4", panel);
    caption->setObjectName("caption");
    QFont impact = desktop::bannerFont(43);
    caption->setFont(impact);
    m_version = new QLabel("Loading...", panel);
    m_version->setObjectName("pasek_wersji");
    m_version->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    panelLayout->addWidget(caption);
    panelLayout->addWidget(m_version, 1);
    return panel;
}

void Treminder::buildWindow() {
    setFixedSize(507, 127);
    QFont f("Verdana");
    f.setPointSize(8);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, desktop::toQColor(9391935));
    pal.setColor(QPalette::WindowText, desktop::toQColor(16117474));
    setPalette(pal);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->addWidget(buildBanner());

    auto* row = new QHBoxLayout;
    row->setContentsMargins(8, 0, 8, 0);
    m_akcja = desktop::named<QLabel>("akcja", "Loading program files...", this);
    row->addWidget(desktop::labelFor(this, "Label1", "Action:", m_akcja));
    row->addWidget(m_akcja, 1);
    layout->addLayout(row);

    m_postep = new QProgressBar(this);
    m_postep->setObjectName("postep");
    m_postep->setRange(0, 50);
    m_postep->setValue(0);
    m_postep->setTextVisible(false);
    m_postep->setAccessibleName("Progress");
    auto* barRow = new QHBoxLayout;
    barRow->setContentsMargins(8, 0, 8, 0);
    barRow->addWidget(m_postep);
    layout->addLayout(barRow);

    m_data = new desktop::ClockLabel(m_services.clock, "yyyy-MM-dd", this);
    m_data->setObjectName("data");
    m_data->hide();
    m_edit1 = new QLineEdit(this);
    m_edit1->setObjectName("Edit1");
    m_edit1->hide();
    m_startup = new QCheckBox(this);
    m_startup->setObjectName("startup");
    m_startup->setChecked(true);
    m_startup->hide();
}

void Treminder::buildMenu() {
    m_popup = new QMenu(this);
    m_popup->setObjectName("popup");
    auto add = [this](const char* name, const QString& text) {
        QAction* a = m_popup->addAction(text);
        a->setObjectName(name);
        return a;
    };
    QAction* editor = add("Otworzedytor1", "Open the editor");
    QFont bold = editor->font();
    bold.setBold(true);
    editor->setFont(bold);
    connect(editor, &QAction::triggered, this, [this] { m_opener.openEditor(this); });
    m_popup->addSeparator()->setObjectName("N1");
    m_autorunbtn = add("autorunbtn", "Autorun (recommended).");
    m_autorunbtn->setCheckable(true);
    connect(m_autorunbtn, &QAction::triggered, this, &Treminder::toggleAutorun);
    m_autologbtn = add("autologbtn", "Automatic logs checking (not recommended).");
    m_autologbtn->setCheckable(true);
    m_autologbtn->setEnabled(false);  // until the settings are read
    connect(m_autologbtn, &QAction::triggered, this, &Treminder::toggleAutolog);
    m_popup->addSeparator()->setObjectName("N2");
    connect(add("Konfiguracja1", "Configuration."), &QAction::triggered, this,
            [this] { m_opener.openConfiguration(this); });
    m_popup->addSeparator()->setObjectName("N3");
    connect(add("Zamknijprogram1", "Terminate the program."), &QAction::triggered, this,
            &Treminder::terminate);
    connect(add("Kalvexinformacje1", "About Kalvex4."), &QAction::triggered, this,
            [this] { m_opener.openAbout(this); });
}

void Treminder::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    desktop::centre(this);
    // The sequence waits for the first idle moment after the window is on screen.
    if (m_startup->isChecked()) QTimer::singleShot(0, this, &Treminder::runStartupSequence);
}

void Treminder::changeEvent(QEvent* e) {
    // Minimising hides to the tray, where there is one.
    if (e->type() == QEvent::WindowStateChange && isMinimized() && m_tray->hidesToTray())
        QTimer::singleShot(0, this, [this] { hide(); });
    QWidget::changeEvent(e);
}

void Treminder::status(bool reset, int add, const QString& text) {
    if (reset) m_postep->setValue(0);
    m_postep->setValue(std::min(m_postep->maximum(), m_postep->value() + add));
    m_akcja->setText(text);
}

void Treminder::reportWriteError(const std::exception& e) {
    m_services.messages.show(this, QString::fromStdString(e.what()), desktop::MessageIcon::Error);
}

void Treminder::runStartupSequence() {
    if (!m_startup->isChecked()) return;
    m_startup->setChecked(false);

    status(true, 0, "Opening registry...");
    const desktop::Opening opening = desktop::openFileSet(m_edit1, m_files);
    if (opening.result == desktop::Opening::NoStore) {
        status(true, 50, "Terminating program...");
        // Also for whoever started the program from a terminal or a session log.
        std::cerr
            << "kalvex4: no installation found: " << storage::storeDescription()
            << " is missing or has no [Kalvex4] section. Create it with "
               "\"kalvex4-setup --system\" (as root), or name another file in KALVEX4_STORE.\n";
        m_services.messages.show(this, kNoStore, desktop::MessageIcon::Error);
        emit quitRequested(1);
        return;
    }
    if (opening.result == desktop::Opening::Refused) {
        // The status stays on the step that failed.
        m_services.messages.show(this, opening.error, desktop::MessageIcon::Error);
        return;
    }
    status(false, 50, "Assigning program variables...");
    const std::string user = m_edit1->text().toStdString();

    try {
        status(true, 50, "Opening log files...");
        m_files->exchange().recordDataFolder(m_files->location().folders.sciezka);

        status(true, 50, "Checking version name...");
        m_files->exchange().recordVersion(storage::kVersion);
        m_version->setText(QString("Version: ") + storage::kVersion);

        status(true, 50, "Checking configuration...");
        applyConfiguration();

        DueCheck::Hooks hooks{
            [this] { return m_services.clock.now(); },
            [this](bool reset, int add, const std::string& text) {
                status(reset, add, QString::fromStdString(text));
            },
            [this](int n, storage::LogKind kind, const storage::StoredEntry& entry,
                   const std::string& reason) { return announce(n, kind, entry, reason); }};
        m_check = std::make_unique<DueCheck>(*m_files, user, std::move(hooks));
        m_check->dayRound(true);
        armSnooze();
    } catch (const storage::WriteError& e) {
        // The window stays on screen; the rest of the sequence does not run.
        reportWriteError(e);
        return;
    }
    status(true, 50, "Program files loaded.");
    m_timer1->start();
}

void Treminder::answerSecondStart(const QString& command) {
    if (QWidget* waiting = QApplication::activeModalWidget()) {
        waiting->raise();
        waiting->activateWindow();
        return;
    }
    if (command == "new")
        m_opener.openNewEntry(this);
    else if (command == "configuration")
        m_opener.openConfiguration(this);
    else
        m_opener.openEditor(this);
}

void Treminder::applyConfiguration() {
    const storage::ProgramSettings settings = storage::readProgramSettings(m_files->config());
    // The start with the session is this user's own: what the desktop's entry
    // says, never config.ini's choice, which any user's save writes.
    m_autorunbtn->setChecked(m_services.autostart.isEnabled());
    const bool autolog = settings.saved && settings.autolog;
    m_autologbtn->setChecked(autolog);
    m_autologbtn->setEnabled(true);
    if (autolog)
        m_timer2->start();
    else
        m_timer2->stop();
}

void Treminder::toggleAutorun() {
    // The action already toggled its check mark; a refused change puts it back.
    const bool on = m_autorunbtn->isChecked();
    if (m_files) {
        try {
            storage::writeAutostartSetting(m_files->config(), on);
        } catch (const storage::WriteError& e) {
            m_autorunbtn->setChecked(!on);
            reportWriteError(e);
            return;
        }
    }
    const bool changed = m_services.autostart.setEnabled(on);
    if (!changed) {
        m_autorunbtn->setChecked(!on);
        if (m_files) {
            try {
                storage::writeAutostartSetting(m_files->config(), !on);
            } catch (const storage::WriteError&) {
                // The message below says what matters: the session start is unchanged.
            }
        }
        m_services.messages.show(this, kAutostartRefused, desktop::MessageIcon::Error);
    }
}

void Treminder::toggleAutolog() {
    const bool on = m_autologbtn->isChecked();
    if (m_files) {
        try {
            storage::writeAutologSetting(m_files->config(), on);
        } catch (const storage::WriteError& e) {
            m_autologbtn->setChecked(!on);
            reportWriteError(e);
            return;
        }
    }
    if (on)
        m_timer2->start();
    else
        m_timer2->stop();
}

void Treminder::onAlarm() {
    m_opener.openTimerNotification(this);
    m_zegar->setEnabled(false);
    followTheDate();
}

void Treminder::terminate() {
    if (m_zegar->isEnabled())
        m_services.messages.show(this, kTimerWarning, desktop::MessageIcon::Warning);
    emit quitRequested(0);
}

}  // namespace kv::app
