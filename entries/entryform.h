#pragma once
// The form the new-entry and edit windows share: two banners, four pages
// (information, receiver, configuration, extensions), Cancel and Save, and
// Enter and Esc as commands of the whole window.

#include <array>
#include <optional>

#include "fileset.h"
#include "logbook.h"
#include "opener.h"
#include "services.h"
#include "window.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace kv::desktop {
class DatePicker;
}

namespace kv::entries {

// What the program and file fields show before one is chosen, and where the
// program dialog opens.
#ifdef Q_OS_WIN
inline constexpr const char* kPathPreset = "C:\\";
inline constexpr const char* kProgramFolder = "c:\\Program files";
#else
inline constexpr const char* kPathPreset = "/";
inline constexpr const char* kProgramFolder = "/usr/bin";
#endif

// Everything in which the two windows' forms differ.
struct FormTexts {
    QString caption, subtitle;
    QString rja, rwszyscy;
    QString configurationPage, configurationGroup;
    QString dzwiekLabel, dzwiekPreset;
    QString raz, rok, miesiac, kalendarzLabel;
    QString email, strona, program, plik;
    const char* cancelName;
    // The messages of the checks Save runs, in their order: no receiver, no
    // profile name, no type, no display mode, no date.
    std::array<QString, 5> checks;
};

// The nineteen sound aliases the sound box offers, in their order.
QStringList soundAliases();

class EntryForm : public desktop::Window {
    Q_OBJECT
public:
    // Whether Save stored the entry.
    bool saved() const { return m_saved; }

protected:
    // The places a window adds its own controls to: under the receiver
    // choices, under the date, beside the program and file fields, under the
    // action rows.
    void addReceiverNote(QWidget* note);
    void addConfigurationNote(QWidget* note);
    void addBrowseButtons(QWidget* program, QWidget* file);
    void addExtensionsNote(QWidget* note);
    EntryForm(desktop::Services& services, QWidget* owner, const FormTexts& texts);

    // The file set opened and coloured, then fill().
    void load() final;
    // The window's own opening steps, after the file set is open and coloured.
    virtual void fill() = 0;
    // Stores the checked entry; nothing when stored, else why not (an empty
    // text says nothing more). A write error is reported by the caller.
    virtual std::optional<QString> store() = 0;
    // The message for a missing store; the window then closes.
    virtual QString noStoreMessage() const = 0;

    // Fills the type list from "style_list.ini": "Default" first.
    void fillTypes();
    // The entry as the controls describe it; the receiver name as given.
    storage::EntryData entryFromControls(const QString& receiverName) const;
    std::optional<storage::Receiver> receiver() const;
    std::optional<storage::DisplayMode> displayMode() const;
    bool dateChosen() const;
    // Reports a failed check; returns false so that checks read as conditions.
    bool fail(const QString& message);

    desktop::Services& m_services;
    std::optional<storage::FileSet> m_files;

    QLabel* m_logo = nullptr;
    QLabel* m_logo2 = nullptr;
    QTabWidget* m_strony = nullptr;
    QPlainTextEdit* m_tytul = nullptr;
    QPlainTextEdit* m_informacja = nullptr;
    QRadioButton* m_rja = nullptr;
    QRadioButton* m_rwszyscy = nullptr;
    QRadioButton* m_rwybrany = nullptr;
    QLineEdit* m_odbiorca = nullptr;
    QListWidget* m_typ = nullptr;
    QComboBox* m_dzwiek = nullptr;
    QRadioButton* m_raz = nullptr;
    QRadioButton* m_rok = nullptr;
    QRadioButton* m_miesiac = nullptr;
    desktop::DatePicker* m_kalendarz = nullptr;
    QCheckBox* m_chemail = nullptr;
    QCheckBox* m_chstrona = nullptr;
    QCheckBox* m_chprogram = nullptr;
    QCheckBox* m_chplik = nullptr;
    QLineEdit* m_email = nullptr;
    QLineEdit* m_strona = nullptr;
    QLineEdit* m_program = nullptr;
    QLineEdit* m_plik = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_save = nullptr;
    QLineEdit* m_edit1 = nullptr;
    QWidget* m_extensions = nullptr;  // the page holding the action rows
    QWidget* m_receiverGroup = nullptr;
    QGridLayout* m_receiverGrid = nullptr;
    QGridLayout* m_configurationGrid = nullptr;
    QGridLayout* m_extensionsGrid = nullptr;
    QWidget* m_configurationGroup = nullptr;

private:
    void build(const FormTexts& texts);
    // The window page by page, each page with its group of controls.
    QWidget* buildInformationPage();
    QWidget* buildReceiverPage(const FormTexts& t);
    QWidget* buildConfigurationPage(const FormTexts& t);
    QWidget* buildExtensionsPage(const FormTexts& t);
    void buildButtons(const FormTexts& t);
    void save();
    bool inputAccepted();
    bool pastDateAccepted();

    std::array<QString, 5> m_checks;
    bool m_saved = false;
};

// Unchecks every radio button of a group, which an exclusive group refuses.
void uncheckAll(std::initializer_list<QRadioButton*> radios);

}  // namespace kv::entries
