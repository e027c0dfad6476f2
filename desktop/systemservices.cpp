#include "services.h"
#include "soundalias.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

#ifdef KV_HAVE_CANBERRA
#include <canberra.h>
#endif

namespace kv::desktop {

namespace {

class QtMessageBoxes final : public MessageBoxes {
public:
    void show(QWidget* parent, const QString& text, MessageIcon icon) override {
        QMessageBox box(parent);
        box.setWindowTitle(kAppTitle);
        box.setText(text);
        switch (icon) {
        case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
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
    void open(const QString& target) override {
        if (target.isEmpty()) return;
        QUrl url(target);
        // Paths (also "C:\..." ones) go as local files, anything with a scheme as is.
        if (url.scheme().size() <= 1 || QFileInfo::exists(target))
            url = QUrl::fromLocalFile(target);
        QDesktopServices::openUrl(url);
    }
};

// Start with the session: an XDG autostart entry whose presence means "on".
class XdgAutostart final : public Autostart {
public:
    void setEnabled(bool on) override {
        const QString file = entryPath();
        if (!on) {
            QFile::remove(file);
            return;
        }
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;  // silent
        QTextStream s(&out);
        s << "[Desktop Entry]\nType=Application\nName=Kalvex4\n"
          << "Exec=\"" << QCoreApplication::applicationFilePath() << "\"\n"
          << "X-GNOME-Autostart-enabled=true\n";
    }
    bool isEnabled() const override { return QFileInfo::exists(entryPath()); }

private:
    static QString entryPath() {
        return QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) +
               "/autostart/kalvex4.desktop";
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
    static XdgAutostart autostart;
    static SystemClock clock;
    static Services services{messages, sound, shell, autostart, clock};
    return services;
}

}  // namespace kv::desktop
