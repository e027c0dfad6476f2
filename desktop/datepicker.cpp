#include "datepicker.h"

#include <QCalendarWidget>
#include <QDate>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

namespace kv::desktop {

namespace {

constexpr const char* kFormat = "yyyy-MM-dd";

// The calendar as a pop-up window of its own, so that arrows move the day,
// Enter takes it and Esc closes without a change (a menu would eat the keys).
class CalendarPopup final : public QWidget {
public:
    CalendarPopup(QWidget* owner, const QDate& current) : QWidget(owner, Qt::Popup) {
        setObjectName("calendarPopup");
        setAttribute(Qt::WA_DeleteOnClose);
        m_calendar = new QCalendarWidget(this);
        m_calendar->setObjectName("calendar");
        m_calendar->setAccessibleName(tr("Calendar"));
        if (current.isValid()) m_calendar->setSelectedDate(current);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(1, 1, 1, 1);
        layout->addWidget(m_calendar);
        setFocusProxy(m_calendar);
    }
    QCalendarWidget* calendar() const { return m_calendar; }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape) {
            close();
            return;
        }
        QWidget::keyPressEvent(e);
    }

private:
    QCalendarWidget* m_calendar;
};

// The calendar page with "15" that the date message tells the user to press.
QIcon calendarPageIcon(const QPalette& palette) {
    QPixmap page(16, 16);
    page.fill(Qt::transparent);
    QPainter p(&page);
    p.setPen(palette.color(QPalette::ButtonText));
    p.setBrush(palette.color(QPalette::Base));
    p.drawRect(1, 2, 13, 12);
    p.fillRect(1, 2, 14, 4, QColor(192, 32, 32));
    QFont f = p.font();
    f.setPixelSize(8);
    f.setBold(true);
    p.setFont(f);
    p.setPen(palette.color(QPalette::Text));
    p.drawText(QRect(1, 6, 14, 9), Qt::AlignCenter, "15");
    return QIcon(page);
}

}  // namespace

DatePicker::DatePicker(QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_edit->setObjectName("edit");
    m_edit->setInputMask("0000-00-00; ");
    m_edit->setAccessibleName(tr("Date"));
    m_button->setObjectName("calendarButton");
    m_button->setText("15");
    m_button->setIcon(calendarPageIcon(palette()));
    m_button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_button->setAccessibleName(tr("Choose a date"));
    m_button->setToolTip(tr("Choose a date (Alt+Down)"));
    layout->addWidget(m_edit);
    layout->addWidget(m_button);
    setFocusProxy(m_edit);
    connect(m_button, &QToolButton::clicked, this, &DatePicker::dropDown);
    // Alt+Down opens the calendar from the field, as a drop-down does.
    m_edit->installEventFilter(this);
}

QString DatePicker::text() const {
    return m_edit->displayText();
}

void DatePicker::setText(const QString& text) {
    m_edit->setText(text);
}

bool DatePicker::isRealDate(const QString& text) {
    return text.size() == 10 && QDate::fromString(text, kFormat).isValid();
}

bool DatePicker::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_edit && e->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier)) {
            dropDown();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

QCalendarWidget* DatePicker::calendar() const {
    return m_popup ? static_cast<CalendarPopup*>(m_popup)->calendar() : nullptr;
}

void DatePicker::dropDown() {
    if (m_popup) return;
    auto* popup = new CalendarPopup(this, QDate::fromString(text(), kFormat));
    m_popup = popup;
    connect(popup, &QObject::destroyed, this, [this] { m_popup = nullptr; });
    auto take = [this, popup](QDate d) {
        setText(d.toString(kFormat));
        popup->close();
        m_edit->setFocus();
    };
    connect(popup->calendar(), &QCalendarWidget::activated, popup, take);
    connect(popup->calendar(), &QCalendarWidget::clicked, popup, take);
    popup->adjustSize();
    popup->move(m_edit->mapToGlobal(QPoint(0, m_edit->height())));
    popup->show();
    popup->calendar()->setFocus();
}

}  // namespace kv::desktop
