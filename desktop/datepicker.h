#pragma once

#include <QWidget>

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

private:
    void dropDown();
    QLineEdit* m_edit;
    QToolButton* m_button;
};

}  // namespace kv::desktop
