#pragma once
// A desktop double that records what windows showed, played and opened, with
// a clock that tests set and advance.

#include "services.h"

#include <QStringList>
#include <vector>

namespace kv::testing {

struct ShownMessage {
    QString text;
    desktop::MessageIcon icon;
};

class RecordingServices final : public desktop::MessageBoxes,
                                public desktop::SoundPlayer,
                                public desktop::Shell,
                                public desktop::Autostart,
                                public desktop::Clock {
public:
    RecordingServices() : services{*this, *this, *this, *this, *this} {}

    void show(QWidget*, const QString& text, desktop::MessageIcon icon) override {
        messages.push_back({text, icon});
    }
    void playAlias(const QString& alias) override { sounds << alias; }
    void playFile(const QString& path) override { sounds << "file:" + path; }
    void open(const QString& target) override { opened << target; }
    void setEnabled(bool on) override {
        autostart = on;
        autostartCalls << on;
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
    QStringList sounds;
    QStringList opened;
    bool autostart = false;
    QList<bool> autostartCalls;
    QDateTime clock{QDate(2026, 5, 17), QTime(9, 30, 0)};
};

}  // namespace kv::testing
