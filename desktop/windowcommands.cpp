#include "windowcommands.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace kv::desktop {

WindowCommands::WindowCommands(QWidget* window) : QObject(window), m_window(window) {
    qApp->installEventFilter(this);
}

WindowCommands::~WindowCommands() {
    qApp->removeEventFilter(this);
}

void WindowCommands::add(QKeyCombination key, std::function<void()> command) {
    m_commands.emplace_back(key, std::move(command));
}

bool WindowCommands::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // Keys of this window only: a message box or pop-up over it has its own.
    if (!widget || widget->window() != m_window || !m_window->isEnabled()) return false;
    const auto* key = static_cast<QKeyEvent*>(e);
    const QKeyCombination pressed(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key()));
    for (const auto& [combination, command] : m_commands) {
        if (combination != pressed) continue;
        command();
        return true;
    }
    return false;
}

}  // namespace kv::desktop
