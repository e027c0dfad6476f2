#include "tinformacja_timer.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "bannerfont.h"
#include "colourscheme.h"
#include "exchange.h"
#include "windowkit.h"

namespace kv::notify {

using desktop::named;

Tinformacja_timer::Tinformacja_timer(desktop::Services& services, QWidget* owner)
    : desktop::Window(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                 Qt::WindowCloseButtonHint),
      m_services(services) {
    setObjectName("Tinformacja_timer");
    setWindowTitle("informacja_timer");
    QFont f("Verdana");
    f.setPointSize(8);
    setFont(f);
    setFixedSize(463, 211);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->setSpacing(0);
    auto* logo = named<QLabel>("logo", "Kalvex4", this);
    logo->setFixedHeight(56);
    QFont impact = desktop::bannerFont(37);
    logo->setFont(impact);
    logo->setContentsMargins(10, 0, 10, 0);
    logo->setAutoFillBackground(true);
    auto* logo2 = named<QLabel>("logo2", "Kalvex timer notification...", this);
    logo2->setFixedHeight(15);
    logo2->setContentsMargins(10, 0, 10, 0);
    logo2->setAutoFillBackground(true);
    layout->addWidget(logo);
    layout->addWidget(logo2);

    auto* group = named<QGroupBox>("GroupBox1", "Message:", this);
    m_info = named<QPlainTextEdit>("info", group);
    m_info->setReadOnly(true);
    m_info->setTabChangesFocus(true);
    m_info->setAccessibleName("Message:");
    (new QVBoxLayout(group))->addWidget(m_info);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 4, 8, 4);
    body->addWidget(group);
    layout->addLayout(body, 1);
    auto* button = named<QPushButton>("btn1", "I feel notified", this);
    layout->addLayout(desktop::buttonRow({button}));
    button->setDefault(true);  // its one button: Enter closes the window
    connect(button, &QPushButton::clicked, this, &QDialog::accept);

    m_edit1 = named<QLineEdit>("Edit1", this);
    m_edit1->hide();
}

void Tinformacja_timer::load() {
    m_edit1->setText(QString::fromStdString(storage::userName()));
    std::string dataFolder;
    if (const std::optional<storage::StoreValues> store = storage::readStore())
        dataFolder = store->sciezka;
    else
        m_services.messages.show(this, "Kalvex was not installed properly.",
                                 desktop::MessageIcon::Error);
    desktop::applyColourScheme(
        this,
        storage::Profile(storage::colourFileName(dataFolder, m_edit1->text().toStdString()),
                         storage::kPrivateFile),
        storage::timerColourRules());
    m_info->setPlainText(QString::fromStdString(storage::Exchange().timerMessage()));
    m_services.sound.playAlias("RingIn");
}

}  // namespace kv::notify
