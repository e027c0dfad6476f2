#pragma once
// What every window does when it opens, in one place: its controls named and
// labelled, the user name in Edit1, the file set located and opened, the
// user's colours applied, the window centred.

#include <QLabel>
#include <QString>
#include <initializer_list>
#include <optional>
#include <type_traits>
#include <utility>

#include "colours.h"
#include "fileset.h"

class QBoxLayout;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kv::desktop {

// A control of type W, with the object name tests and colour rules find it by.
// A label shows its text as typed: texts come from logs other users write, and
// left to Qt's guess they could be markup loading images from any path.
template <typename W, typename... Args>
W* named(const char* name, Args&&... args) {
    auto* w = new W(std::forward<Args>(args)...);
    w->setObjectName(QString::fromLatin1(name));
    if constexpr (std::is_base_of_v<QLabel, W>) w->setTextFormat(Qt::PlainText);
    return w;
}

// Sets a hover text shown as typed, never read as markup.
void setPlainToolTip(QWidget* widget, const QString& text);

// A label naming control: its buddy, so that a screen reader names the control
// by the label's text and the label's mnemonic moves the focus there. A value
// shown in a label keeps its own text as its name, the caption as description.
QLabel* labelFor(QWidget* parent, const char* name, const QString& text, QWidget* control);

// A label that shows a value: reached with Tab and read by its text, selectable
// with the mouse, and without a text caret.
void showsValue(QLabel* value);

// The row of buttons at a window's bottom right. None of them answers Enter by
// itself: a window's commands are pressed on purpose.
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);

// The strip that heads an entry window: "logo", the title in large bold type,
// above "logo2", the window's task; both painted with the user's colours.
struct Banner {
    QLabel* logo;
    QLabel* logo2;
};
Banner addBanner(QWidget* window, QBoxLayout* layout, const QString& title, const QString& task);

// Centres window on its screen; a window of the same class already on screen
// moves it down and to the right, so that both can be seen.
void centre(QWidget* window);

struct Opening {
    enum Result { Opened, NoStore, Refused };
    Result result = NoStore;
    QString error;  // why the file set was refused
};

// Puts the user name into edit1, reads the store and opens the file set under
// the name edit1 holds (which records the log names in the exchange file).
Opening openFileSet(QLineEdit* edit1, std::optional<storage::FileSet>& files);

// Paints window with the user's colour file by rules.
void applyUserColours(QWidget* window, const storage::Location& location,
                      const storage::ColourRules& rules);

}  // namespace kv::desktop
