#pragma once
// The configuration window: start with the session, the look, the user's
// eighteen colours and the folders of the three logs.

#include <array>
#include <functional>
#include <optional>

#include "locations.h"
#include "look.h"
#include "profile.h"
#include "services.h"
#include "window.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace kv::config {

class Tkonfigurowanie final : public desktop::Window {
    Q_OBJECT
public:
    explicit Tkonfigurowanie(desktop::Services& services, QWidget* owner = nullptr);
    bool saved() const { return m_saved; }
    // The colour a label k1..k18 shows.
    QColor labelColour(int index) const;

protected:
    void load() override;

private:
    // The window page by page.
    void buildBanner(QVBoxLayout* layout);
    QWidget* buildMainPage();
    // This user's own: missed days, the usual "Remind me again", days ahead.
    QGroupBox* buildRemindersBox(QWidget* page);
    QWidget* buildColoursPage();
    QWidget* buildPathsPage();
    void chooseColour(int index);
    void save();
    bool checkFolders(std::array<std::string, 3>& folders);
    // Runs write; a refused write is said, and false returned.
    bool written(const std::function<void()>& write);
    void saveColours();
    void saveSwitches(storage::Look wanted);

    desktop::Services& m_services;
    std::optional<storage::StoreValues> m_store;
    std::optional<storage::Profile> m_config;
    std::optional<storage::Profile> m_colours;
    std::optional<storage::Profile> m_userConfig;
    bool m_autostartShown = true;
    QCheckBox* m_autostart = nullptr;
    QCheckBox* m_autolog = nullptr;
    QCheckBox* m_nadrabianie = nullptr;
    QCheckBox* m_powiadomienia = nullptr;
    QCheckBox* m_nieprzeszkadzac = nullptr;
    QComboBox* m_drzemka = nullptr;
    QSpinBox* m_wyprzedzenie = nullptr;
    QRadioButton* m_rclassic = nullptr;
    QRadioButton* m_rwxp = nullptr;
    QLabel* m_styleNote = nullptr;
    std::array<QLabel*, 18> m_k{};
    std::array<QLineEdit*, 3> m_paths{};
    QLineEdit* m_edit1 = nullptr;
    bool m_saved = false;
};

}  // namespace kv::config
