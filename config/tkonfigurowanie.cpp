#include "tkonfigurowanie.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "bannerfont.h"
#include "colours.h"
#include "colourscheme.h"
#include "exchange.h"
#include "look.h"
#include "settings.h"
#include "windowkit.h"

namespace kv::config {

namespace {

using desktop::labelFor;
using desktop::named;

constexpr const char* kNoStore = "Nie znaleziono informacji o Kalvex. Zainstaluj program ponownie.";
constexpr const char* kStyleNote = "New style will be visible after program restart.";

// A colour label the keyboard can use too: Space or Enter opens the dialog.
class ColourLabel final : public QLabel {
public:
    ColourLabel(const QString& text, QWidget* parent, std::function<void()> clicked)
        : QLabel(text, parent), m_clicked(std::move(clicked)) {
        setFocusPolicy(Qt::StrongFocus);
        setAutoFillBackground(true);
        setCursor(Qt::PointingHandCursor);
        setAccessibleName(text);
        setAccessibleDescription("Click or press Space to choose this colour.");
        setContentsMargins(4, 1, 4, 1);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        QLabel::mouseReleaseEvent(e);
        m_clicked();
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
            return m_clicked();
        QLabel::keyPressEvent(e);
    }

private:
    std::function<void()> m_clicked;
};

void paint(QLabel* label, const QColor& colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::Window, colour);
    // Text that stays readable on the colour.
    p.setColor(QPalette::WindowText, colour.lightness() < 128 ? Qt::white : Qt::black);
    label->setPalette(p);
}

QLabel* banner(const char* name, const QString& text, QWidget* parent, int background, int font) {
    auto* label = named<QLabel>(name, text, parent);
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, desktop::toQColor(background));
    p.setColor(QPalette::WindowText, desktop::toQColor(font));
    label->setPalette(p);
    label->setContentsMargins(10, 2, 10, 2);
    return label;
}

// What a folder typed here must be, in this platform's terms.
QString pathsRule() {
    if (QDir::separator() == '\\') return "The paths must end with a backslash sign.";
    return "Each must be the full path of an existing folder that you can write; the final / is "
           "added where it is missing.";
}

QLabel* note(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont bold("Verdana");
    bold.setPointSize(8);
    bold.setBold(true);
    label->setFont(bold);
    // The note's slate grey is for a light page; on a dark desktop the
    // desktop's own text colour stays, or the note could not be read.
    QPalette p = label->palette();
    if (p.color(QPalette::Window).lightness() >= 128)
        p.setColor(QPalette::WindowText, desktop::toQColor(4667958));
    label->setPalette(p);
    return label;
}

}  // namespace

Tkonfigurowanie::Tkonfigurowanie(desktop::Services& services, QWidget* owner)
    : desktop::Window(owner), m_services(services) {
    setObjectName("Tkonfigurowanie");
    setWindowTitle("Kalvex - configuration");
    QPalette window = palette();
    window.setColor(QPalette::Window, desktop::toQColor(16052979));
    setPalette(window);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->setSpacing(0);
    buildBanner(layout);
    auto* pages = named<QTabWidget>("strony", this);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 8, 8, 8);
    body->addWidget(pages);
    layout->addLayout(body, 1);
    pages->addTab(buildMainPage(), "Main configuration");
    pages->addTab(buildColoursPage(), "Colors");
    pages->addTab(buildPathsPage(), "Access paths");

    auto* save = named<QPushButton>("btn1", "Save settings", this);
    auto* cancel = named<QPushButton>("Button2", "Cancel", this);
    layout->addLayout(desktop::buttonRow({save, cancel}));
    connect(save, &QPushButton::clicked, this, &Tkonfigurowanie::save);
    connect(cancel, &QPushButton::clicked, this, &Tkonfigurowanie::closeWindow);

    m_edit1 = named<QLineEdit>("Edit1", this);
    m_edit1->hide();
    // Wide enough for the longest colour caption, tall enough for the main page.
    setFixedSize(690, 610);
}

void Tkonfigurowanie::buildBanner(QVBoxLayout* layout) {
    auto* panel1 = named<QWidget>("Panel1", this);
    panel1->setFixedHeight(4);
    panel1->setAutoFillBackground(true);
    QPalette strip = panel1->palette();
    strip.setColor(QPalette::Window, desktop::toQColor(5394254));
    panel1->setPalette(strip);
    QLabel* logo = banner("logo", "Kalvex4", this, 13995358, 16380127);
    QFont impact = desktop::bannerFont(36);
    logo->setFont(impact);
    layout->addWidget(panel1);
    layout->addWidget(logo);
    layout->addWidget(banner("logo2", "Configuration...", this, 5394254, 15329769));
}

QWidget* Tkonfigurowanie::buildMainPage() {
    auto* main = new QWidget;
    auto* mainLayout = new QVBoxLayout(main);
    auto* autostartBox = new QGroupBox("Autostart:", main);
    m_autostart = named<QCheckBox>(
        "autostart", "Run this program with Windows startup (recommended).", autostartBox);
    (new QVBoxLayout(autostartBox))->addWidget(m_autostart);
    auto* autologBox = new QGroupBox("Automatic logs checking:", main);
    m_autolog = named<QCheckBox>(
        "autolog", "Continue checking the logs while running the program (absolete)", autologBox);
    (new QVBoxLayout(autologBox))->addWidget(m_autolog);
    auto* styleBox = new QGroupBox("Style:", main);
    auto* styleLayout = new QVBoxLayout(styleBox);
    m_rclassic =
        named<QRadioButton>("rclassic", "Classic Kalvex style (highly not recommended).", styleBox);
    m_rwxp = named<QRadioButton>("rwxp", "Allow WindowsXP themes.", styleBox);
    m_rwxp->setChecked(true);
    styleLayout->addWidget(m_rclassic);
    styleLayout->addWidget(m_rwxp);
    m_styleNote = note(kStyleNote, styleBox);
    m_styleNote->setObjectName("styleNote");
    m_styleNote->setWordWrap(true);
    styleLayout->addWidget(m_styleNote);
    mainLayout->addWidget(autostartBox);
    mainLayout->addWidget(autologBox);
    mainLayout->addWidget(buildRemindersBox(main));
    mainLayout->addWidget(styleBox);
    mainLayout->addStretch(1);
    return main;
}

QGroupBox* Tkonfigurowanie::buildRemindersBox(QWidget* page) {
    auto* box = new QGroupBox("Reminders (yours alone):", page);
    auto* grid = new QGridLayout(box);
    m_nadrabianie = named<QCheckBox>(
        "nadrabianie", "Show the reminders that fell due while the program was not running.", box);
    m_drzemka = named<QComboBox>("drzemka", box);
    m_drzemka->addItem("In 10 minutes", 10);
    m_drzemka->addItem("In 1 hour", 60);
    m_drzemka->addItem("Tomorrow", 1440);
    m_wyprzedzenie = named<QSpinBox>("wyprzedzenie", box);
    m_wyprzedzenie->setRange(0, 30);
    m_wyprzedzenie->setSpecialValueText("off");
    m_wyprzedzenie->setSuffix(" days");
    m_powiadomienia =
        named<QCheckBox>("powiadomienia", "Also show reminders as desktop notifications.", box);
    m_nieprzeszkadzac = named<QCheckBox>(
        "nieprzeszkadzac", "Show them even while the desktop is set to \"Do Not Disturb\".", box);
    grid->addWidget(m_nadrabianie, 0, 0, 1, 2);
    grid->addWidget(m_powiadomienia, 3, 0, 1, 2);
    grid->addWidget(m_nieprzeszkadzac, 4, 0, 1, 2);
    grid->addWidget(labelFor(box, "drzemkaLabel", "\"Remind me again\" first offers:", m_drzemka),
                    1, 0);
    grid->addWidget(m_drzemka, 1, 1);
    grid->addWidget(labelFor(box, "wyprzedzenieLabel",
                             "Show yearly and monthly reminders ahead by:", m_wyprzedzenie),
                    2, 0);
    grid->addWidget(m_wyprzedzenie, 2, 1);
    grid->setColumnStretch(2, 1);
    return box;
}

QWidget* Tkonfigurowanie::buildColoursPage() {
    auto* colours = new QWidget;
    auto* coloursBox = new QGroupBox("Colors used in program:", colours);
    auto* grid = new QGridLayout(coloursBox);
    grid->addWidget(new QLabel("To change a color, click on a corresponding text:", coloursBox), 0,
                    0, 1, 2);
    for (int i = 0; i < 18; ++i) {
        auto* label = new ColourLabel(storage::kColourKeys[static_cast<std::size_t>(i)].caption,
                                      coloursBox, [this, i] { chooseColour(i); });
        label->setObjectName(QString("k%1").arg(i + 1));
        m_k[static_cast<std::size_t>(i)] = label;
        grid->addWidget(label, 1 + i % 9, i / 9);
    }
    (new QVBoxLayout(colours))->addWidget(coloursBox);
    return colours;
}

QWidget* Tkonfigurowanie::buildPathsPage() {
    auto* paths = new QWidget;
    auto* pathsBox = new QGroupBox("Paths:", paths);
    auto* pathsGrid = new QGridLayout(pathsBox);
    pathsGrid->addWidget(
        note("This option shouldn't be changed if not necessary. Also, you should be an \n"
             "experienced user to change this option.",
             pathsBox),
        0, 0, 1, 2);
    const std::pair<const char*, const char*> fields[3] = {
        {"edsciezka", "Store the private logs here:"},
        {"edsciezka_stala", "Store the static logs here:"},
        {"edsciezka_glowna", "Store the public log here:"}};
    for (int i = 0; i < 3; ++i) {
        auto* edit = named<QLineEdit>(fields[i].first, "Unknown. Reinstall program.", pathsBox);
        m_paths[static_cast<std::size_t>(i)] = edit;
        pathsGrid->addWidget(labelFor(pathsBox, "", fields[i].second, edit), 1 + i, 0);
        pathsGrid->addWidget(edit, 1 + i, 1);
    }
    pathsGrid->addWidget(note(pathsRule(), pathsBox), 4, 0, 1, 2);
    pathsGrid->setRowStretch(5, 1);
    (new QVBoxLayout(paths))->addWidget(pathsBox);
    return paths;
}

QColor Tkonfigurowanie::labelColour(int index) const {
    return m_k[static_cast<std::size_t>(index)]->palette().color(QPalette::Window);
}

void Tkonfigurowanie::load() {
    m_edit1->setText(QString::fromStdString(storage::userName()));
    m_store = storage::readStore();
    if (!m_store) {
        m_services.messages.show(this, kNoStore, desktop::MessageIcon::Error);
        closeWindow();
        return;
    }
    const std::string stored[3] = {m_store->sciezka_log, m_store->sciezka_log_staly,
                                   m_store->sciezka_log_glowny};
    for (std::size_t i = 0; i < 3; ++i) m_paths[i]->setText(QString::fromStdString(stored[i]));
    // The data folder is the administrator's word, not the exchange file's,
    // which another user could point at a folder of theirs.
    const std::string& folder = m_store->sciezka;
    m_config.emplace(folder + "config.ini", storage::kSharedFile);
    const std::string user = m_edit1->text().toStdString();
    m_colours.emplace(storage::colourFileName(folder, user), storage::kPrivateFile);
    m_userConfig.emplace(storage::buildFileNames(*m_store, user).userConfig, storage::kPrivateFile);

    const storage::ProgramSettings settings = storage::readProgramSettings(*m_config);
    // This user's own start with the session, whatever another user saved.
    m_autostartShown = m_services.autostart.isEnabled();
    m_autostart->setChecked(m_autostartShown);
    m_autolog->setChecked(settings.autolog);
    const storage::ReminderSettings reminders = storage::UserSettings(*m_userConfig).reminders();
    m_nadrabianie->setChecked(reminders.catchUp);
    m_drzemka->setCurrentIndex(std::max(0, m_drzemka->findData(reminders.snoozeMinutes)));
    m_wyprzedzenie->setValue(reminders.daysAhead);
    m_powiadomienia->setChecked(reminders.notifications);
    m_nieprzeszkadzac->setChecked(reminders.duringDnd);
    if (settings.classic) m_rclassic->setChecked(true);
    // A look this user cannot switch to is not offered as if it could be.
    const storage::Look other = storage::chosenLook(m_store->sciezka) == storage::Look::Classic
                                    ? storage::Look::Themed
                                    : storage::Look::Classic;
    if (const std::string problem = storage::lookChangeProblem(m_store->sciezka, other);
        !problem.empty()) {
        m_rclassic->setEnabled(false);
        m_rwxp->setEnabled(false);
        m_styleNote->setText("Only the administrator can change the style here: " +
                             QString::fromStdString(problem) + ".");
    }
    const std::shared_ptr<const storage::IniDocument> colours = m_colours->document();
    for (std::size_t i = 0; i < m_k.size(); ++i) {
        const storage::ColourKeyInfo& info = storage::kColourKeys[i];
        const storage::ColourValue value =
            storage::parseProfileInteger(colours->read(storage::kColourSection, info.key, ""))
                .value_or(info.def);
        paint(m_k[i], desktop::toQColor(value));
    }
}

void Tkonfigurowanie::chooseColour(int index) {
    QLabel* label = m_k[static_cast<std::size_t>(index)];
    // The dialog starts on the label's own colour; a cancel leaves it as it was.
    if (const std::optional<QColor> chosen =
            m_services.dialogs.chooseColour(this, labelColour(index)))
        paint(label, *chosen);
}

}  // namespace kv::config
