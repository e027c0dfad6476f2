// The configuration window's Save: the folders checked first, then the colour
// file, the store, config.ini and the look's manifest, in that order.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <functional>

#include "colours.h"
#include "locations.h"
#include "look.h"
#include "qtstorage.h"
#include "settings.h"
#include "tkonfigurowanie.h"

namespace kv::config {

namespace {

constexpr const char* kStoreKeys[3] = {"sciezka_log", "sciezka_log_staly", "sciezka_log_glowny"};

// File names are built by appending to the folder: it must end with its
// separator. A backslash typed as one, where it is none, is taken for it.
QString withSlash(QString folder) {
    if (QDir::separator() != '\\' && folder.size() > 1 && folder.endsWith('\\') &&
        QFileInfo(folder.chopped(1)).isDir())
        folder.chop(1);
    if (!folder.isEmpty() && !folder.endsWith('/') && !folder.endsWith(QDir::separator()))
        folder += '/';
    return folder;
}

}  // namespace

bool Tkonfigurowanie::checkFolders(std::array<std::string, 3>& folders) {
    const std::string current[3] = {m_store->sciezka_log, m_store->sciezka_log_staly,
                                    m_store->sciezka_log_glowny};
    for (std::size_t i = 0; i < 3; ++i) {
        const QString folder = withSlash(m_paths[i]->text().trimmed());
        // A folder left as stored (with or without its slash) is not this save's business.
        if (folder == withSlash(QString::fromStdString(current[i]))) {
            folders[i] = current[i];
            continue;
        }
        const std::string problem = storage::logFolderProblem(folder.toStdString());
        if (!problem.empty()) {
            const QString text =
                problem == "does not exist"
                    ? QString(
                          "The folder \"%1\" does not exist. Create it, or type the folder "
                          "where the logs are; nothing was saved.")
                          .arg(m_paths[i]->text())
                    : QString(
                          "The folder \"%1\" %2, so the logs cannot be kept there; nothing "
                          "was saved.")
                          .arg(m_paths[i]->text(), QString::fromStdString(problem));
            m_services.messages.show(this, text, desktop::MessageIcon::Error);
            m_paths[i]->setFocus();
            return false;
        }
        folders[i] = folder.toStdString();
    }
    return true;
}

bool Tkonfigurowanie::written(const std::function<void()>& write) {
    try {
        write();
        return true;
    } catch (const storage::WriteError& e) {
        m_services.messages.show(this, QString::fromStdString(e.what()),
                                 desktop::MessageIcon::Error);
        return false;
    }
}

void Tkonfigurowanie::save() {
    if (!m_store || !m_config || !m_colours) return;
    std::array<std::string, 3> folders;
    if (!checkFolders(folders)) return;
    const std::string current[3] = {m_store->sciezka_log, m_store->sciezka_log_staly,
                                    m_store->sciezka_log_glowny};
    int changed = -1;  // the first store value that changes
    for (int i = 2; i >= 0; --i)
        if (folders[static_cast<std::size_t>(i)] != current[i]) changed = i;
    // Only a change touches the administrator's store, and one this user may not
    // make stops Save before anything else is written.
    const QString storeRefused =
        QString("Failed to set data for '%1'").arg(kStoreKeys[std::max(changed, 0)]);
    if (changed >= 0 && !storage::storeWriteProblem().empty()) {
        m_services.messages.show(this, storeRefused, desktop::MessageIcon::Error);
        return;
    }
    if (!written([this] { saveColours(); })) return;
    if (changed >= 0) {
        storage::StoreValues values = *m_store;
        values.sciezka_log = folders[0];
        values.sciezka_log_staly = folders[1];
        values.sciezka_log_glowny = folders[2];
        try {
            storage::writeStore(values);
        } catch (const storage::WriteError&) {
            m_services.messages.show(this, storeRefused, desktop::MessageIcon::Error);
            return;
        }
    }
    const storage::Look wanted =
        m_rclassic->isChecked() ? storage::Look::Classic : storage::Look::Themed;
    if (!written([&] { saveSwitches(wanted); })) return;
    const storage::ReminderSettings reminders{
        m_nadrabianie->isChecked(), m_drzemka->currentData().toInt(), m_wyprzedzenie->value(),
        m_powiadomienia->isChecked(), m_nieprzeszkadzac->isChecked()};
    if (!written([&] { storage::UserSettings(*m_userConfig).setReminders(reminders); })) return;
    // A changed switch reaches this user's session at once, not only at the next start.
    if (m_autostart->isChecked() != m_autostartShown &&
        !m_services.autostart.setEnabled(m_autostart->isChecked()))
        m_services.messages.show(this,
                                 "The start with the session could not be changed: the autostart "
                                 "entry could not be written. The other settings were saved.",
                                 desktop::MessageIcon::Warning);
    // The look follows the manifest's name at the next start; a rename that
    // finds nothing to rename changes nothing.
    if (const std::string problem = storage::changeLook(m_store->sciezka, wanted); !problem.empty())
        m_services.messages.show(this,
                                 "The style was not changed: " + QString::fromStdString(problem) +
                                     ". The other settings were saved.",
                                 desktop::MessageIcon::Warning);
    m_saved = true;
    closeWindow();
}

void Tkonfigurowanie::saveColours() {
    m_colours->update([&](storage::IniDocument& doc) {
        bool any = false;
        for (std::size_t i = 0; i < m_k.size(); ++i)
            any |=
                doc.write(storage::kColourSection, storage::kColourKeys[i].key,
                          std::to_string(desktop::toColourValue(labelColour(static_cast<int>(i)))));
        return any;
    });
}

void Tkonfigurowanie::saveSwitches(storage::Look wanted) {
    // A look that cannot be had is not recorded as chosen.
    const bool classic = storage::lookChangeProblem(m_store->sciezka, wanted).empty()
                             ? wanted == storage::Look::Classic
                             : storage::chosenLook(m_store->sciezka) == storage::Look::Classic;
    storage::ProgramSettings settings;
    settings.saved = true;
    settings.autostart = m_autostart->isChecked();
    settings.autolog = m_autolog->isChecked();
    settings.classic = classic;
    storage::writeProgramSettings(*m_config, settings);
}

}  // namespace kv::config
