#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

#include "autostart.h"
#include "dbusnotifier.h"
#include "filedialog.h"
#include "services.h"
#include "shelltarget.h"
#include "soundalias.h"

#ifdef KV_HAVE_CANBERRA
#include <canberra.h>
#endif

namespace kv::desktop {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None:
            return QMessageBox::NoIcon;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

class QtMessageBoxes final : public MessageBoxes {
public:
    void show(QWidget* parent, const QString& text, MessageIcon icon) override {
        QMessageBox box(boxIcon(icon), kAppTitle, text, QMessageBox::Ok, parent);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
    Answer ask(QWidget* parent, const QString& text, MessageIcon icon) override {
        QMessageBox box(boxIcon(icon), kAppTitle, text, QMessageBox::Yes | QMessageBox::No, parent);
        box.setTextFormat(Qt::PlainText);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
};

class QtDialogs final : public Dialogs {
public:
    std::optional<QString> openFile(QWidget* parent, const QString& caption, const QString& folder,
                                    FileKind kind) override {
        QFileDialog dialog(parent, caption, folder);
        prepareOpenDialog(dialog, kind);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst();
    }
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) override {
        const QColor colour = QColorDialog::getColor(initial, parent, kAppTitle);
        if (!colour.isValid()) return std::nullopt;
        return colour;
    }
};

class CanberraSound final : public SoundPlayer {
public:
    ~CanberraSound() override {
#ifdef KV_HAVE_CANBERRA
        if (m_context) ca_context_destroy(m_context);
#endif
    }
    void playAlias(const QString& alias) override {
        const QString event = freedesktopSoundFor(alias);
        if (!event.isEmpty()) play("event.id", event);
    }
    void playFile(const QString& path) override {
        if (QFileInfo::exists(path)) play("media.filename", path);
    }

private:
    // property is a libcanberra property name: "event.id" or "media.filename".
    void play(const char* property, const QString& value) {
#ifdef KV_HAVE_CANBERRA
        if (!m_context && ca_context_create(&m_context) != CA_SUCCESS) m_context = nullptr;
        if (!m_context) return;
        // Id 1 for every sound: a new sound does not wait for the last one.
        ca_context_cancel(m_context, 1);
        ca_context_play(m_context, 1, property, value.toUtf8().constData(), nullptr);
#else
        Q_UNUSED(property);
        Q_UNUSED(value);
#endif
    }
#ifdef KV_HAVE_CANBERRA
    ca_context* m_context = nullptr;
#endif
};

class DesktopShell final : public Shell {
public:
    bool open(const QString& target) override {
        const std::optional<QUrl> url = shellTarget(target);
        if (!url) return false;
        // A desktop's handler shows a program's bytes at best: a program is started.
        if (startsAsProgram(*url)) return QProcess::startDetached(url->toLocalFile(), {});
        return QDesktopServices::openUrl(*url);
    }
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

}  // namespace

Services& systemServices() {
    static QtMessageBoxes messages;
    static CanberraSound sound;
    static DesktopShell shell;
    static XdgAutostart session;
    // A private installation's run leaves the session's start to the machine's one.
    static RememberedAutostart sandboxed(session.isEnabled());
    Autostart& autostart = qEnvironmentVariableIsSet("KALVEX4_STORE")
                               ? static_cast<Autostart&>(sandboxed)
                               : static_cast<Autostart&>(session);
    static SystemClock clock;
    static QtDialogs dialogs;
    static DBusNotifier notifier;
    static Services services{messages, sound, shell, autostart, clock, dialogs, notifier};
    return services;
}

}  // namespace kv::desktop
