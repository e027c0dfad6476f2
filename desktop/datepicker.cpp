#include "datepicker.h"

#include <QCalendarWidget>
#include <QDate>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QWidgetAction>

namespace kv::desktop {

DatePicker::DatePicker(QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_edit->setObjectName("edit");
    m_edit->setInputMask("0000-00-00; ");
    m_edit->setAccessibleName(tr("Date"));
    m_button->setObjectName("calendarButton");
    m_button->setText("...");
    m_button->setAccessibleName(tr("Choose a date"));
    layout->addWidget(m_edit);
    layout->addWidget(m_button);
    setFocusProxy(m_edit);
    connect(m_button, &QToolButton::clicked, this, &DatePicker::dropDown);
}

QString DatePicker::text() const {
    return m_edit->displayText();
}

void DatePicker::setText(const QString& text) {
    m_edit->setText(text);
}

void DatePicker::dropDown() {
    QMenu menu(this);
    auto* calendar = new QCalendarWidget(&menu);
    const QDate current = QDate::fromString(text(), "yyyy-MM-dd");
    if (current.isValid()) calendar->setSelectedDate(current);
    auto* action = new QWidgetAction(&menu);
    action->setDefaultWidget(calendar);
    menu.addAction(action);
    connect(calendar, &QCalendarWidget::activated, &menu, [&](QDate d) {
        setText(d.toString("yyyy-MM-dd"));
        menu.close();
    });
    connect(calendar, &QCalendarWidget::clicked, &menu, [&](QDate d) {
        setText(d.toString("yyyy-MM-dd"));
        menu.close();
    });
    menu.exec(m_edit->mapToGlobal(QPoint(0, m_edit->height())));
}

}  // namespace kv::desktop
