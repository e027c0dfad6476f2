#pragma once
// Keyboard commands of a whole window: they act whichever control has the
// focus, before that control sees the key (so Enter saves from inside a text
// box and Delete acts from inside a text field).

#include <QKeyCombination>
#include <QObject>
#include <functional>
#include <vector>

class QWidget;

namespace kv::desktop {

class WindowCommands final : public QObject {
public:
    explicit WindowCommands(QWidget* window);
    ~WindowCommands() override;
    void add(QKeyCombination key, std::function<void()> command);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QWidget* m_window;
    std::vector<std::pair<QKeyCombination, std::function<void()>>> m_commands;
};

}  // namespace kv::desktop
