// The editor's timer page: the message and time of day of the resident
// window's alarm.

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "alarmclock.h"
#include "analogueclock.h"
#include "editortexts.h"
#include "exchange.h"
#include "tedytor.h"
#include "windowkit.h"

namespace kv::editor {

using desktop::labelFor;
using desktop::named;

QWidget* Tedytor::buildTimerPage() {
    auto* w = named<QWidget>("timer");
    auto* layout = new QVBoxLayout(w);
    auto* group = named<QGroupBox>("GroupBox7", "Timer:", w);
    auto* inner = new QVBoxLayout(group);
    inner->addWidget(new QLabel(
        "You may use this option to display a reminding information at a desired time.", group));
    auto* clock = new desktop::AnalogueClock(m_services.clock, group);
    clock->setObjectName("zegar2");
    inner->addWidget(clock, 0, Qt::AlignHCenter);
    auto* settings = named<QGroupBox>("GroupBox8", "Settings:", group);
    // A group inside a group is otherwise read by the outer one's title.
    settings->setAccessibleName(settings->title());
    auto* grid = new QGridLayout(settings);
    grid->addWidget(new QLabel("Show the alarm at:", settings), 0, 0, 1, 6);
    int column = 0;
    for (auto [name, caption, field] : {std::tuple{"hh", "Hour (hh):", &m_hh},
                                        {"mm", "Mins (mm):", &m_mm},
                                        {"ss", "Secs (ss):", &m_ss}}) {
        *field = named<QLineEdit>(name, "00", settings);
        grid->addWidget(labelFor(settings, "", caption, *field), 1, column++);
        grid->addWidget(*field, 1, column++);
    }
    auto* message = named<QPlainTextEdit>("timer_info", settings);
    m_timerInfo = message;
    message->setTabChangesFocus(true);
    grid->addWidget(labelFor(settings, "", "Message:", message), 2, 0, 1, 6);
    grid->addWidget(message, 3, 0, 1, 6);
    m_btn8 = named<QPushButton>("btn8", "Start the timer.", settings);
    m_btn8->setAutoDefault(false);
    QFont bold = m_btn8->font();
    bold.setBold(true);
    m_btn8->setFont(bold);
    QPalette orange = m_btn8->palette();
    orange.setColor(QPalette::ButtonText, QColor(0xFF, 0x80, 0x00));
    m_btn8->setPalette(orange);
    // Without the resident clock (an editor on its own) there is no timer to set.
    m_btn8->setEnabled(false);
    grid->addWidget(m_btn8, 4, 0, 1, 6);
    inner->addWidget(settings);
    layout->addWidget(group);
    return w;
}

void Tedytor::readBackTimer() {
    if (!m_zegar || !m_zegar->isEnabled()) {
        m_btn8->setText("Start the timer.");
        return;
    }
    m_btn8->setText("Stop the timer.");
    const QTime at = m_zegar->alarmTime();
    m_hh->setText(QString::number(at.hour()));
    m_mm->setText(QString::number(at.minute()));
    m_ss->setText(QString::number(at.second()));
    m_timerInfo->setPlainText(qs(m_files->exchange().timerMessage("")));
}

void Tedytor::startStopTimer() {
    if (m_zegar->isEnabled()) {
        m_services.messages.show(this, "Timer disabled.", desktop::MessageIcon::Information);
        m_zegar->setEnabled(false);
        m_btn8->setText("Start the timer.");
        return;
    }
    // Every field is checked, part by part against the time as it would stand,
    // before anything changes: a refused value leaves the timer as it was.
    const QTime current = m_zegar->alarmTime();
    int parts[3] = {current.hour(), current.minute(), current.second()};
    const QLineEdit* fields[3] = {m_hh, m_mm, m_ss};
    for (int i = 0; i < 3; ++i) {
        bool number = false;
        const int value = fields[i]->text().trimmed().toInt(&number, 10);
        if (!number) {
            m_services.messages.show(this,
                                     "'" + fields[i]->text() + "' is not a valid integer value",
                                     desktop::MessageIcon::Error);
            return;
        }
        parts[i] = value;
        if (parts[0] < 0 || parts[0] > 23 || parts[1] < 0 || parts[1] > 59 || parts[2] < 0 ||
            parts[2] > 59) {
            m_services.messages.show(this,
                                     QString("''%1:%2:%3'' is not a valid time")
                                         .arg(parts[0])
                                         .arg(parts[1])
                                         .arg(parts[2]),
                                     desktop::MessageIcon::Error);
            return;
        }
    }
    if (!m_files) return;
    try {
        m_files->exchange().recordTimerMessage(m_timerInfo->toPlainText().toStdString());
    } catch (const storage::WriteError& e) {
        m_services.messages.show(this, qs(e.what()), desktop::MessageIcon::Error);
        return;
    }
    m_zegar->setAlarmTime(parts[0], parts[1], parts[2]);
    m_zegar->setEnabled(true);
    m_btn8->setText("Stop the timer.");
}

}  // namespace kv::editor
