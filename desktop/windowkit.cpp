#include "windowkit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QWidget>

#include "colourscheme.h"

namespace kv::desktop {

namespace {
constexpr int kCascade = 32;
}

QLabel* labelFor(QWidget* parent, const char* name, const QString& text, QWidget* control) {
    auto* label = named<QLabel>(name, text, parent);
    label->setBuddy(control);
    QString plain = text;
    plain.remove('&');
    // A label showing a value is read as that value; its caption describes it.
    if (qobject_cast<QLabel*>(control))
        control->setAccessibleDescription(plain);
    else
        control->setAccessibleName(plain);
    return label;
}

void setPlainToolTip(QWidget* widget, const QString& text) {
    widget->setToolTip(text.isEmpty() ? QString()
                                      : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal));
}

void showsValue(QLabel* value) {
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setFocusPolicy(Qt::StrongFocus);
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(8, 0, 8, 0);
    row->addStretch(1);
    for (QPushButton* b : buttons) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    return row;
}

Banner addBanner(QWidget* window, QBoxLayout* layout, const QString& title, const QString& task) {
    auto* logo = named<QLabel>("logo", title, window);
    QFont big = logo->font();
    big.setPointSize(16);
    big.setBold(true);
    logo->setFont(big);
    logo->setAutoFillBackground(true);
    logo->setContentsMargins(8, 4, 8, 4);
    auto* logo2 = named<QLabel>("logo2", task, window);
    logo2->setAutoFillBackground(true);
    logo2->setContentsMargins(8, 2, 8, 2);
    layout->addWidget(logo);
    layout->addWidget(logo2);
    return {logo, logo2};
}

void centre(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) return;
    QPoint at = screen->availableGeometry().center() - window->rect().center();
    // Each earlier window of the same kind still on screen pushes this one on.
    for (bool moved = true; moved;) {
        moved = false;
        for (QWidget* other : QApplication::topLevelWidgets()) {
            if (other == window || !other->isVisible() ||
                other->objectName() != window->objectName() || other->pos() != at)
                continue;
            at += QPoint(kCascade, kCascade);
            moved = true;
        }
    }
    window->move(at);
}

Opening openFileSet(QLineEdit* edit1, std::optional<storage::FileSet>& files) {
    edit1->setText(QString::fromStdString(storage::userName()));
    const std::optional<storage::StoreValues> store = storage::readStore();
    if (!store) return {Opening::NoStore, {}};
    const std::string user = edit1->text().toStdString();
    try {
        files.emplace(storage::Location{user, *store, storage::buildFileNames(*store, user)});
    } catch (const storage::WriteError& e) {
        return {Opening::Refused, QString::fromStdString(e.what())};
    }
    return {Opening::Opened, {}};
}

void applyUserColours(QWidget* window, const storage::Location& location,
                      const storage::ColourRules& rules) {
    applyColourScheme(
        window,
        storage::Profile(storage::colourFileName(location.folders.sciezka, location.user),
                         storage::kPrivateFile),
        rules);
}

}  // namespace kv::desktop
