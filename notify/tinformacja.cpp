#include "tinformacja.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "clocklabel.h"
#include "colourscheme.h"
#include "elidinglabel.h"
#include "entryview.h"
#include "infotypes.h"
#include "linklabel.h"
#include "qtstorage.h"
#include "settings.h"
#include "shelltarget.h"
#include "windowkit.h"

namespace kv::notify {

namespace {

constexpr const char* kNoStore =
    "Nie znaleziono wpisu w rejestrze. Nie można wyświetlić informacji.";
constexpr const char* kNoActiveEntry = "Nie można wczytać informacji.";

using desktop::qs;

struct SnoozeChoice {
    const char* name;
    const char* text;
    int minutes;
};
constexpr SnoozeChoice kSnoozes[] = {
    {"za10min", "In 10 minutes", 10}, {"za1h", "In 1 hour", 60}, {"jutro", "Tomorrow", 1440}};

}  // namespace

Tinformacja::Tinformacja(desktop::Services& services, desktop::WindowOpener& opener, QWidget* owner,
                         std::optional<desktop::HandedEntry> entry)
    : desktop::Window(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_services(services),
      m_opener(opener),
      m_handed(std::move(entry)) {
    setObjectName("Tinformacja");
    setWindowTitle("Kalvex - message");
    buildWindow();
}

Tinformacja::~Tinformacja() {
    // Closing the window takes its bubble away too.
    if (m_bubble) m_services.notifier.close(*m_bubble);
}

void Tinformacja::buildWindow() {
    setFixedSize(531, 471);
    QFont f("Verdana");
    f.setPointSize(8);
    setFont(f);

    m_tlo = new QLabel(this);
    m_tlo->setObjectName("tlo");
    m_tlo->setScaledContents(true);
    m_tlo->setGeometry(rect());
    m_tlo->lower();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    buildMessage(layout);
    layout->addWidget(buildActions());
    buildButtons(layout);
}

// The clock, the subject and the text.
void Tinformacja::buildMessage(QVBoxLayout* layout) {
    // Why the entry is shown when not for today: missed, or coming soon.
    m_powod = desktop::named<QLabel>("powod", this);
    QFont strong = m_powod->font();
    strong.setBold(true);
    m_powod->setFont(strong);
    m_powod->setAttribute(Qt::WA_TranslucentBackground);
    m_powod->hide();
    m_clock = new desktop::ClockLabel(m_services.clock, "yyyy-MM-dd hh:mm:ss", this);
    m_clock->setObjectName("ProClockLabel1");
    m_clock->setAttribute(Qt::WA_TranslucentBackground);
    auto* top = new QHBoxLayout;
    top->addWidget(m_powod, 1);
    top->addWidget(m_clock, 0, Qt::AlignRight);
    layout->addLayout(top);

    // The subject heads the text; a long one is shortened, whole in its tooltip.
    m_tytul = desktop::named<desktop::ElidingLabel>("tytul", this);
    QFont heading = m_tytul->font();
    heading.setBold(true);
    heading.setPointSize(10);
    m_tytul->setFont(heading);
    m_tytul->setAttribute(Qt::WA_TranslucentBackground);
    m_tytul->hide();
    layout->addWidget(m_tytul);

    // Empty until loaded: the "not loaded" text is for a loading that failed.
    m_info = new QPlainTextEdit(this);
    m_info->setObjectName("info");
    m_info->setReadOnly(true);
    m_info->setAccessibleName("Message");
    m_info->setTabChangesFocus(true);
    layout->addWidget(m_info, 1);
}

// The entry's four actions, each with what it would open.
QGroupBox* Tinformacja::buildActions() {
    m_groupBox2 = new QGroupBox("Opcje:", this);
    m_groupBox2->setObjectName("GroupBox2");
    auto* grid = new QGridLayout(m_groupBox2);
    using desktop::labelFor;
    using desktop::named;
    auto button = [this](const char* name, const QString& text) {
        auto* b = named<QPushButton>(name, text, m_groupBox2);
        b->setEnabled(false);
        return b;
    };
    // A caption that shows what the action would open, shortened where too long.
    auto caption = [this](const char* name) {
        auto* l = named<desktop::ElidingLabel>(name, m_groupBox2);
        l->setFullText("n/a");
        return l;
    };

    m_email = named<desktop::LinkLabel>("email", m_services.shell, m_groupBox2);
    m_email->setCaption("n/a");
    m_email->setLink("mailto:");
    m_email->setEnabled(false);
    grid->addWidget(labelFor(m_groupBox2, "Label1", "Write an e-mail to this person::", m_email), 0,
                    0);
    grid->addWidget(m_email, 0, 1, 1, 2);

    m_strona = named<desktop::LinkLabel>("strona", m_services.shell, m_groupBox2);
    m_strona->setCaption("http://");
    m_strona->setEnabled(false);
    m_stronabtn = button("stronabtn", "Open");
    m_stronabtn->hide();
    grid->addWidget(labelFor(m_groupBox2, "Label2", "Open this web page:", m_strona), 1, 0);
    grid->addWidget(m_strona, 1, 1, 1, 2);

    // Each row's label names what the action opens; the buttons keep their own captions.
    m_programnazwa = caption("programnazwa");
    m_programbtn = button("programbtn", "Run");
    m_programbtn->setAccessibleDescription("Start this program");
    grid->addWidget(labelFor(m_groupBox2, "Label3", "Start this program:", m_programnazwa), 2,
                    0);
    grid->addWidget(m_programnazwa, 2, 1);
    grid->addWidget(m_programbtn, 2, 2);

    m_plik = caption("plik");
    m_plikbtn = button("plikbtn", "Perform");
    m_plikbtn->setAccessibleDescription("Perform an operation on this file");
    grid->addWidget(labelFor(m_groupBox2, "Label4", "Perform an operation on this file:", m_plik),
                    3, 0);
    grid->addWidget(m_plik, 3, 1);
    grid->addWidget(m_plikbtn, 3, 2);
    grid->setColumnStretch(1, 1);
    connect(m_programbtn, &QPushButton::clicked, this,
            [this] { runAction(m_programnazwa->fullText(), desktop::ActionKind::Program); });
    connect(m_plikbtn, &QPushButton::clicked, this,
            [this] { runAction(m_plik->fullText(), desktop::ActionKind::File); });
    return m_groupBox2;
}

void Tinformacja::buildButtons(QVBoxLayout* layout) {
    using desktop::named;
    auto* buttons = new QHBoxLayout;
    m_doneBtn = named<QPushButton>("Color95Button1", "Done", this);
    m_laterBtn = named<QPushButton>("Color95Button2", "Show me later", this);
    m_snoozeBtn = named<QPushButton>("przypomnij", "Remind me again", this);
    auto* menu = new QMenu(m_snoozeBtn);
    menu->setObjectName("przypomnijmenu");
    for (const auto& [name, text, minutes] : kSnoozes) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, m = minutes] { snooze(m); });
    }
    m_snoozeBtn->setMenu(menu);
    // The menu opens on the user's usual choice, so Enter takes it.
    connect(menu, &QMenu::aboutToShow, menu,
            [menu] { menu->setActiveAction(menu->defaultAction()); });
    // No button answers a stray Enter: "Done" removes a reminder for good.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    buttons->addStretch(1);
    buttons->addWidget(m_doneBtn);
    buttons->addWidget(m_laterBtn);
    buttons->addWidget(m_snoozeBtn);
    layout->addLayout(buttons);

    m_edit1 = new QLineEdit(this);
    m_edit1->setObjectName("Edit1");
    m_edit1->hide();

    connect(m_doneBtn, &QPushButton::clicked, this, &Tinformacja::done_);
    connect(m_laterBtn, &QPushButton::clicked, this, &Tinformacja::showLater);
}

void Tinformacja::runAction(const QString& target, desktop::ActionKind kind) {
    QString why = desktop::actionProblem(target, kind);
    if (why.isEmpty() && !m_services.shell.open(target))
        why = "the desktop has no program that opens it";
    if (why.isEmpty()) return;
    m_services.messages.show(this,
                             QString(kind == desktop::ActionKind::Program
                                         ? "The program \"%1\" could not be started: %2."
                                         : "The file \"%1\" could not be opened: %2.")
                                 .arg(target, why),
                             desktop::MessageIcon::Warning);
}

void Tinformacja::resizeEvent(QResizeEvent* e) {
    m_tlo->setGeometry(rect());
    QDialog::resizeEvent(e);
}

void Tinformacja::closeEvent(QCloseEvent* e) {
    // The window manager's close (Alt+F4, the title bar) is ignored as Escape
    // is: the user answers with a button, and the answer is kept.
    if (!closeAsked()) return e->ignore();
    QDialog::closeEvent(e);
}

void Tinformacja::keyPressEvent(QKeyEvent* e) {
    // No close box: Escape must not close the window behind the user's back.
    if (e->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(e);
}

void Tinformacja::load() {
    const desktop::Opening opening = desktop::openFileSet(m_edit1, m_files);
    if (opening.result == desktop::Opening::NoStore) {
        m_services.messages.show(this, kNoStore, desktop::MessageIcon::Error);
        closeWindow();
        return;
    }
    if (opening.result == desktop::Opening::Refused) {
        m_info->setPlainText(kNotLoaded);
        m_services.messages.show(this, opening.error, desktop::MessageIcon::Error);
        return;
    }
    desktop::applyUserColours(this, m_files->location(), storage::notificationColourRules());

    const storage::ActiveEntry active = m_handed ? *m_handed : m_files->exchange().activeEntry();
    showReason(m_handed ? m_handed->reason : std::string());
    m_reminders = storage::UserSettings(m_files->userConfig()).reminders();
    offerSnooze(m_reminders.snoozeMinutes);
    m_number = active.number;
    m_logKey = active.log;
    if (m_number == -1) {
        m_services.messages.show(this, kNoActiveEntry, desktop::MessageIcon::Error);
        closeWindow();
        return;
    }
    storage::Profile* log = m_files->logByKey(m_logKey);
    if (!log) {  // unknown log: the text says it was not loaded
        m_info->setPlainText(kNotLoaded);
        return;
    }
    const storage::Profile::ReadScope once(*log);  // one read of the log for the whole loading
    loadEntry(*log);
    if (m_type != storage::kDefaultType && !applyStyle()) return;
    enableActions();
    sendBubble();
}

void Tinformacja::loadEntry(storage::Profile& log) {
    const storage::StoredEntry inSlot = storage::readStoredEntry(log, m_number);
    // Shown is what was announced, even when the slot has changed since.
    m_shown = m_handed && m_handed->announced ? *m_handed->announced : inSlot;
    if (m_shown == inSlot)
        m_type = storage::EntryView(log, m_number).type(storage::kDefaultType);
    else
        m_type = m_shown.typ.empty() ? std::string(storage::kDefaultType) : m_shown.typ;
    m_info->setPlainText(qs(storage::decodeText(m_shown.informacja)));
    QString subject = qs(storage::decodeText(m_shown.tytul)).simplified();
    m_tytul->setFullText(subject);
    m_tytul->setVisible(!subject.isEmpty());
    m_strona->setCaption(qs(m_shown.strona));
    m_programnazwa->setFullText(qs(m_shown.program));
    m_email->setCaption(qs(m_shown.email));
    m_email->setLink("mailto:" + qs(m_shown.email));
    m_plik->setFullText(qs(m_shown.plik));
    m_services.sound.playAlias(qs(m_shown.dzwiek));
}

bool Tinformacja::applyStyle() {
    const std::string folder = m_files->location().folders.sciezka;
    const storage::TypeStyle style =
        storage::readTypeStyle(storage::Profile(folder + "style.ini"), m_type);

    const QString bitmap = qs(folder + "data/" + style.ramka);
    QImageReader reader(bitmap);
    if (!reader.device() || !reader.device()->open(QIODevice::ReadOnly)) {
        m_services.messages.show(this, QString("Cannot open file %1").arg(bitmap),
                                 desktop::MessageIcon::Error);
        return false;
    }
    reader.device()->close();
    const QImage image = reader.read();
    if (image.isNull()) {
        m_services.messages.show(this, "Bitmap image is not valid", desktop::MessageIcon::Error);
        return false;
    }
    m_tlo->setPixmap(QPixmap::fromImage(image));

    using storage::ColourRole;
    QFont font(qs(style.face));
    font.setPointSize(style.size > 0 ? style.size : 8);
    m_info->setFont(font);
    desktop::setControlColour(this, "info", ColourRole::Font, desktop::toQColor(style.color));
    desktop::setControlColour(this, "info", ColourRole::Background,
                              desktop::toQColor(style.info_color));
    const QColor caption = desktop::toQColor(style.groupbox_font_color);
    desktop::setControlColour(this, "GroupBox2", ColourRole::Font, caption);
    for (const char* b :
         {"programbtn", "stronabtn", "plikbtn", "Color95Button1", "Color95Button2", "przypomnij"})
        desktop::setControlColour(this, b, ColourRole::Background,
                                  desktop::toQColor(style.btn_color));
    desktop::setControlColour(this, "Color95Button1", ColourRole::Font, caption);
    desktop::setControlColour(this, "Color95Button2", ColourRole::Font, caption);
    desktop::setControlColour(this, "przypomnij", ColourRole::Font, caption);
    return true;
}

void Tinformacja::enableActions() {
    // Only what the entry holds is offered: the loaded values already say it.
    m_strona->setEnabled(!m_shown.strona.empty());
    m_email->setEnabled(!m_shown.email.empty());
    m_programbtn->setEnabled(!m_shown.program.empty());
    m_plikbtn->setEnabled(!m_shown.plik.empty());
}

}  // namespace kv::notify
