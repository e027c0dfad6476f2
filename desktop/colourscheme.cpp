#include "colourscheme.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>
#include <QWidget>

namespace kv::desktop {

namespace {

bool isInput(QWidget* w) {
    return qobject_cast<QAbstractScrollArea*>(w) || qobject_cast<QLineEdit*>(w) ||
           qobject_cast<QComboBox*>(w);
}

QPalette::ColorRole paletteRole(QWidget* w, storage::ColourRole role) {
    const bool background = role == storage::ColourRole::Background;
    if (qobject_cast<QAbstractButton*>(w))
        return background ? QPalette::Button : QPalette::ButtonText;
    if (isInput(w)) return background ? QPalette::Base : QPalette::Text;
    return background ? QPalette::Window : QPalette::WindowText;
}

QColor blend(const QColor& a, const QColor& b) {
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

// The scheme's colours hold while a control is active or inactive; a disabled
// control keeps its background but its text fades half-way into it, so that a
// button that does nothing never looks as if it would.
void setSchemeColour(QPalette& p, QPalette::ColorRole role, const QColor& colour) {
    p.setColor(QPalette::Active, role, colour);
    p.setColor(QPalette::Inactive, role, colour);
    const std::pair<QPalette::ColorRole, QPalette::ColorRole> pairs[] = {
        {QPalette::ButtonText, QPalette::Button},
        {QPalette::Text, QPalette::Base},
        {QPalette::WindowText, QPalette::Window}};
    for (const auto& [text, background] : pairs) {
        if (role == background) p.setColor(QPalette::Disabled, background, colour);
        if (role == text || role == background)
            p.setColor(
                QPalette::Disabled, text,
                blend(p.color(QPalette::Active, text), p.color(QPalette::Active, background)));
    }
}

}  // namespace

QPalette darkDesktopPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, QColor(0xEE, 0xEE, 0xEE));
    return dark;
}

void setControlColour(QWidget* window, const QString& object, storage::ColourRole role,
                      const QColor& colour) {
    QWidget* w = object.isEmpty() ? window : window->findChild<QWidget*>(object);
    if (!w) return;
    QPalette p = w->palette();
    setSchemeColour(p, paletteRole(w, role), colour);
    if (role == storage::ColourRole::Background) {
        if (!isInput(w) && !qobject_cast<QAbstractButton*>(w)) {
            w->setAutoFillBackground(true);
            // Fields inside without colours of their own (the date picker's)
            // take this background, not the desktop's, under the scheme's text.
            setSchemeColour(p, QPalette::Base, colour);
        }
    } else if (!isInput(w) && !qobject_cast<QAbstractButton*>(w)) {
        setSchemeColour(p, QPalette::Text, colour);
    }
    w->setPalette(p);
}

QColor controlColour(QWidget* control, storage::ColourRole role) {
    return control->palette().color(QPalette::Active, paletteRole(control, role));
}

void applyColourScheme(QWidget* window, const storage::Profile& colourFile,
                       const storage::ColourRules& rules) {
    const storage::ColourRules all = storage::withBackgrounds(rules);
    const std::vector<storage::ColourValue> values = storage::readColours(colourFile, all);
    for (std::size_t i = 0; i < all.size(); ++i)
        setControlColour(window, QString::fromStdString(all[i].object), all[i].role,
                         toQColor(values[i]));
    // The style draws tabs on the desktop's faces: their captions take the
    // desktop's text colours too, never the scheme's, which may be as dark.
    const QPalette desktop = QApplication::palette();
    for (QTabBar* bar : window->findChildren<QTabBar*>()) {
        QPalette p = bar->palette();
        for (QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            for (QPalette::ColorRole role :
                 {QPalette::WindowText, QPalette::Window, QPalette::ButtonText, QPalette::Button})
                p.setColor(group, role, desktop.color(group, role));
        bar->setPalette(p);
    }
}

}  // namespace kv::desktop
