#pragma once

#include <QWidget>

class QCalendarWidget;
class QLineEdit;
class QToolButton;

namespace kv::desktop {

// A date typed through the mask yyyy-MM-dd, with a drop-down calendar. With no
// date its text is the blank mask "    -  -  ".
class DatePicker final : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kBlank = "    -  -  ";
    explicit DatePicker(QWidget* parent = nullptr);
    QString text() const;
    void setText(const QString& text);
    QLineEdit* edit() const { return m_edit; }
    // The drop-down calendar while it is open, else nullptr.
    QCalendarWidget* calendar() const;
    void dropDown();

    // Whether text names a day of the calendar ("2026-02-30" does not).
    static bool isRealDate(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QLineEdit* m_edit;
    QToolButton* m_button;
    QWidget* m_popup = nullptr;
};

}  // namespace kv::desktop
