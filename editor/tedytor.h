#pragma once
// The editor: lists the three logs, previews the clicked entry and hands it
// over through the exchange file, and opens the windows that change the logs.

#include <QColor>
#include <QHash>
#include <array>
#include <optional>
#include <vector>

#include "fileset.h"
#include "logbook.h"
#include "opener.h"
#include "services.h"
#include "window.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QBoxLayout;
class QVBoxLayout;
class QStackedWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace kv::desktop {
class AlarmClock;
class ClockLabel;
}  // namespace kv::desktop

namespace kv::editor {

class Tedytor final : public desktop::Window {
    Q_OBJECT
public:
    // zegar: the resident window's clock, whose alarm the timer page sets (none: no timer).
    Tedytor(desktop::Services& services, desktop::WindowOpener& opener, QWidget* owner = nullptr,
            desktop::AlarmClock* zegar = nullptr);

    // The rebuild armed by the commands; tests fire it instead of waiting.
    QTimer* rebuildTimer() const { return m_timer1; }
    void rebuildLists();

    // Where the click sound is: share/kalvex4/click.wav beside or above the program.
    static QString clickSoundPath();
    // The status field's line for the window's background and plain areas.
    static constexpr const char* kNoticeLine =
        "Kalvex4 editor: point at a button or a list to see what it does here.";

protected:
    void firstShown() override;
    void load() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // One of the three log pages.
    struct LogPage {
        storage::LogKind kind = storage::LogKind::Private;
        QTreeWidget* list = nullptr;
        QLabel* date = nullptr;
        QPlainTextEdit* preview = nullptr;
        QString dateDefault;
        int count = -1;     // entries listed, less one
        int selected = -1;  // node position of the last click since the rebuild
        std::vector<storage::StoredEntry> listed;  // what each line showed, by position
    };
    // The object names and captions of one log page.
    struct LogPageTexts {
        const char* pageName;
        QString title;
        const char* listName;
        const char* listGroup;
        QString listCaption;
        const char* selectedGroup;
        QString caption;
        const char* dateName;
        const char* previewName;
        QString initialPreview;
    };

    // The window from the top: banner, command rows, the four pages, footer.
    void buildWindow();
    void buildBanner(QVBoxLayout* layout);
    void buildCommandRows(QVBoxLayout* layout);
    void buildPages(QVBoxLayout* layout);
    void buildFooter(QVBoxLayout* layout);
    std::vector<QPushButton*> buttonRow(
        QBoxLayout* into, std::initializer_list<std::pair<const char*, const char*>> buttons);
    void connectCommand(QPushButton* button, void (Tedytor::*command)());
    QWidget* buildLogPage(LogPage& page, const LogPageTexts& texts);
    QWidget* buildTimerPage();
    void applyColours();
    void showPage(int index);
    // Shows the line's entry and records it as the active entry, when its slot
    // still holds what the line showed; else reads the lists again and says so.
    bool handOver(LogPage& page, QTreeWidgetItem* item);
    QTreeWidgetItem* highlighted(const LogPage& page) const;
    LogPage* shownLogPage();
    // Hands the highlighted line over and opens the window on it; nothing
    // (but a status line) when none is highlighted.
    using OpenEntry = void (desktop::WindowOpener::*)(QWidget*, const desktop::HandedEntry&);
    void actOnHighlighted(LogPage* page, OpenEntry open);
    void editSelected(LogPage& page);
    void armRebuild();
    void click();
    void addEntry();
    void editEntry();
    void deleteEntry();
    void configure();
    void help();
    void showVersion();
    void readBackTimer();
    void startStopTimer();
    void setStatus(const QString& text);
    void installHoverHelp();

    desktop::Services& m_services;
    desktop::WindowOpener& m_opener;
    std::optional<storage::FileSet> m_files;
    std::array<LogPage, 3> m_pages;
    std::array<QColor, 4> m_pageColours;
    bool m_pageColoured = false;  // the page area shows the window colour until a switch
    QString m_version;            // empty until the opening read it

    QLabel* m_logo2 = nullptr;
    QLabel* m_status = nullptr;
    QStackedWidget* m_notatnik = nullptr;
    QPushButton* m_btn8 = nullptr;
    QLineEdit* m_hh = nullptr;
    QLineEdit* m_mm = nullptr;
    QLineEdit* m_ss = nullptr;
    QPlainTextEdit* m_timerInfo = nullptr;
    desktop::AlarmClock* m_zegar = nullptr;
    QHash<QObject*, QString> m_hoverTexts;  // the status text of each control
    QList<QObject*> m_noticeAreas;          // backgrounds that show the notice line
    QTimer* m_timer1 = nullptr;
    QLineEdit* m_edit1 = nullptr;
};

}  // namespace kv::editor
