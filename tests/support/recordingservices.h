#pragma once
// A desktop double that records what windows showed, played and opened, with
// a clock that tests set and advance, and scripted answers for the questions
// and dialogs a window asks (the next answer first; No or Cancel when none is left).

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <QWindow>
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "services.h"

namespace kv::testing {

struct ShownMessage {
    QString text;
    desktop::MessageIcon icon;
    bool overItsWindow = false;  // the owning window was already on screen
};

struct AskedDialog {
    QString kind;    // "question", "file" or "colour"
    QString text;    // the question, the file dialog's caption and folder, the colour's name
    QString filter;  // of a file dialog: "programs" or "any"
};

class RecordingServices final : public desktop::MessageBoxes,
                                public desktop::SoundPlayer,
                                public desktop::Shell,
                                public desktop::Autostart,
                                public desktop::Clock,
                                public desktop::Dialogs,
                                public desktop::Notifier {
public:
    RecordingServices() : services{*this, *this, *this, *this, *this, *this, *this} {}

    int show(const desktop::Bubble& bubble, std::function<void(const QString&)> onAction) override {
        bubbles.push_back(bubble);
        bubbleActions[static_cast<int>(bubbles.size())] = std::move(onAction);
        return static_cast<int>(bubbles.size());
    }
    void close(int handle) override {
        closedBubbles << handle;
        bubbleActions.erase(handle);
    }
    // The user chose an action in the bubble.
    void chooseInBubble(int handle, const QString& key) {
        auto it = bubbleActions.find(handle);
        if (it != bubbleActions.end()) {
            const auto act = it->second;
            act(key);
        }
    }

    void show(QWidget* parent, const QString& text, desktop::MessageIcon icon) override {
        messages.push_back({text, icon, onScreen(parent)});
        if (onMessage) onMessage(text);
    }
    desktop::Answer ask(QWidget* parent, const QString& text, desktop::MessageIcon icon) override {
        messages.push_back({text, icon, onScreen(parent)});
        asked.push_back({"question", text, {}});
        return next(answers, desktop::Answer::No);
    }
    std::optional<QString> openFile(QWidget*, const QString& caption, const QString& folder,
                                    desktop::FileKind kind) override {
        asked.push_back({"file", caption + " in " + folder,
                         kind == desktop::FileKind::Program ? "programs" : "any"});
        const QString file = next(files, QString());
        if (file.isEmpty()) return std::nullopt;
        return file;
    }
    std::optional<QColor> chooseColour(QWidget*, const QColor& initial) override {
        asked.push_back({"colour", initial.name(), {}});
        const QColor colour = next(colours, QColor());
        if (!colour.isValid()) return std::nullopt;
        return colour;
    }
    void playAlias(const QString& alias) override { sounds << alias; }
    void playFile(const QString& path) override { sounds << "file:" + path; }
    bool open(const QString& target) override {
        opened << target;
        return shellAccepts;
    }
    bool setEnabled(bool on) override {
        autostartCalls << on;
        if (autostartRefuses) return false;
        autostart = on;
        return true;
    }
    bool isEnabled() const override { return autostart; }
    QDateTime now() const override { return clock; }

    QStringList messageTexts() const {
        QStringList out;
        for (const ShownMessage& m : messages) out << m.text;
        return out;
    }

    desktop::Services services;
    std::vector<ShownMessage> messages;
    std::vector<AskedDialog> asked;
    std::deque<desktop::Answer> answers;
    std::deque<QString> files;   // an empty text cancels
    std::deque<QColor> colours;  // an invalid colour cancels
    std::function<void(const QString&)> onMessage;
    QStringList sounds;
    QStringList opened;
    bool shellAccepts = true;  // what the desktop answers an open
    bool autostart = true;     // as the package's entry for every user starts the program
    bool autostartRefuses = false;
    QList<bool> autostartCalls;
    QDateTime clock{QDate(2026, 5, 17), QTime(9, 30, 0)};
    std::vector<desktop::Bubble> bubbles;
    std::map<int, std::function<void(const QString&)>> bubbleActions;
    QList<int> closedBubbles;

private:
    template <typename T>
    static T next(std::deque<T>& queue, T otherwise) {
        if (queue.empty()) return otherwise;
        T answer = queue.front();
        queue.pop_front();
        return answer;
    }
    static bool onScreen(QWidget* parent) {
        if (!parent) return false;
        const QWindow* w = parent->window()->windowHandle();
        return parent->isVisible() && w && w->isExposed();
    }
};

}  // namespace kv::testing
