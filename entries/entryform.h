#pragma once
// The form the new-entry and edit windows share: two banners, four pages
// (information, receiver, configuration, extensions), Cancel and Save, and
// Enter and Esc as commands of the whole window.

#include <QDialog>
#include <array>
#include <optional>

#include "fileset.h"
#include "logbook.h"
#include "opener.h"
#include "services.h"

class QCheckBox;
class QComboBox;
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

class EntryForm : public QDialog {
    Q_OBJECT
public:
    // Whether the window has run its opening steps (it does once it is shown).
    bool opened() const { return m_opened; }
    // Whether Save stored the entry.
    bool saved() const { return m_saved; }

protected:
    EntryForm(desktop::Services& services, QWidget* owner, const FormTexts& texts);

    void showEvent(QShowEvent* e) override;
    // The window's own opening steps, after the file set is open and coloured.
    virtual void load() = 0;
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
    void closeWindow();

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
    QWidget* m_configurationGroup = nullptr;

private:
    void build(const FormTexts& texts);
    void save();
    bool inputAccepted();
    bool pastDateAccepted();

    std::array<QString, 5> m_checks;
    bool m_shown = false;
    bool m_opened = false;
    bool m_saved = false;
};

// Unchecks every radio button of a group, which an exclusive group refuses.
void uncheckAll(std::initializer_list<QRadioButton*> radios);

}  // namespace kv::entries
