// The editor's three log pages: their lists, the preview of a line, and the
// hand-over of the highlighted line to the edit and delete windows.

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "editortexts.h"
#include "entryview.h"
#include "exchange.h"
#include "logbook.h"
#include "tedytor.h"
#include "windowkit.h"

namespace kv::editor {

namespace {

using desktop::labelFor;
using desktop::named;

// A list line is one line: a title's line breaks show as spaces.
QString oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\x1F', ' ');
    return qs(text);
}

}  // namespace

QWidget* Tedytor::buildLogPage(LogPage& page, const LogPageTexts& t) {
    auto* w = named<QWidget>(t.pageName);
    auto* layout = new QVBoxLayout(w);
    auto* heading = new QLabel(t.title, w);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSize(10);
    heading->setFont(bold);
    layout->addWidget(heading);

    auto* listBox = named<QGroupBox>(t.listGroup, t.listCaption, w);
    auto* listLayout = new QVBoxLayout(listBox);
    page.list = named<QTreeWidget>(t.listName, listBox);
    page.list->setHeaderHidden(true);
    // A hidden header still names the column to a screen reader: not "1".
    page.list->setHeaderLabel("Date and subject");
    page.list->setRootIsDecorated(false);
    page.list->setColumnCount(1);
    page.list->setAccessibleName(t.listCaption);
    listLayout->addWidget(page.list);
    layout->addWidget(listBox, 3);

    auto* selectedBox = named<QGroupBox>(t.selectedGroup, "Selected entry:", w);
    auto* grid = new QGridLayout(selectedBox);
    page.date = named<QLabel>(t.dateName, kUnknownDate, selectedBox);
    desktop::showsValue(page.date);
    page.preview = named<QPlainTextEdit>(t.previewName, selectedBox);
    page.preview->setReadOnly(true);
    page.preview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    page.preview->setTabChangesFocus(true);
    page.preview->setPlainText("\n" + t.initialPreview);
    page.preview->setAccessibleName("Text of the selected entry");
    page.preview->viewport()->installEventFilter(this);
    grid->addWidget(labelFor(selectedBox, "", t.caption, page.date), 0, 0);
    grid->addWidget(page.date, 0, 1);
    grid->addWidget(page.preview, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(selectedBox, 2);

    LogPage* p = &page;
    connect(page.list, &QTreeWidget::itemClicked, this,
            [this, p](QTreeWidgetItem* item) { handOver(*p, item); });
    // The keyboard selects as a click does, and highlights what it selects
    // (tabbing into a list makes its first line current, unhighlighted).
    connect(page.list, &QTreeWidget::currentItemChanged, this, [this, p](QTreeWidgetItem* item) {
        if (!item || !p->list->hasFocus()) return;
        if (!item->isSelected()) {
            p->list->clearSelection();
            item->setSelected(true);
        }
        handOver(*p, item);
    });
    connect(page.list, &QTreeWidget::itemDoubleClicked, this, [this, p] { editSelected(*p); });
    return w;
}

void Tedytor::rebuildLists() {
    m_timer1->stop();
    for (LogPage& page : m_pages) {
        page.list->clear();
        page.listed.clear();
        page.count = page.selected = -1;
    }
    if (!m_files) return;
    for (LogPage& page : m_pages) {
        try {
            const storage::Profile& log = m_files->log(page.kind);
            const storage::Profile::ReadScope once(log);
            for (int s = 0; s < storage::kSlots; ++s) {
                const storage::EntryView entry(log, s);
                if (!entry.occupied()) continue;
                ++page.count;
                auto* item = new QTreeWidgetItem(
                    page.list,
                    QStringList{qs(entry.date("Error")) + ": " + oneLine(entry.storedSubject())});
                // The line keeps its section and what it showed: a log with a gap,
                // or one renumbered since, never hands over another entry.
                item->setData(0, kSectionRole, s);
                page.listed.push_back(storage::readStoredEntry(log, s));
            }
        } catch (const std::exception&) {
            m_services.messages.show(this, kListFailed, desktop::MessageIcon::Error);
            return;
        }
    }
}

bool Tedytor::handOver(LogPage& page, QTreeWidgetItem* item) {
    if (page.count == -1 || !item || !m_files) return false;
    const int position = page.list->indexOfTopLevelItem(item);
    if (position < 0 || position > page.count) return false;
    const int section = item->data(0, kSectionRole).toInt();
    try {
        const storage::Profile& log = m_files->log(page.kind);
        const storage::Profile::ReadScope once(log);
        if (storage::readStoredEntry(log, section) !=
            page.listed[static_cast<std::size_t>(position)]) {
            armRebuild();
            m_services.messages.show(this, kLineChanged, desktop::MessageIcon::Information);
            return false;
        }
        const storage::EntryView entry(log, section);
        page.date->setText(qs(entry.date(page.dateDefault.toStdString())));
        page.preview->setPlainText(qs(entry.text()));
        page.selected = position;
        m_files->exchange().recordActiveEntry(section, storage::logKey(page.kind));
        return true;
    } catch (const std::exception&) {
        m_services.messages.show(this, kClickFailed, desktop::MessageIcon::Error);
        return false;
    }
}

QTreeWidgetItem* Tedytor::highlighted(const LogPage& page) const {
    QTreeWidgetItem* item = page.list->currentItem();
    return item && item->isSelected() ? item : nullptr;
}

void Tedytor::actOnHighlighted(LogPage* page, OpenEntry open) {
    QTreeWidgetItem* item = page ? highlighted(*page) : nullptr;
    if (!item) {
        setStatus(kNoLine);
        return;
    }
    if (!handOver(*page, item)) return;
    const desktop::HandedEntry entry{item->data(0, kSectionRole).toInt(),
                                     std::string(storage::logKey(page->kind))};
    (m_opener.*open)(this, entry);
    armRebuild();
}

Tedytor::LogPage* Tedytor::shownLogPage() {
    const int index = m_notatnik->currentIndex();
    return index >= 0 && index < static_cast<int>(m_pages.size())
               ? &m_pages[static_cast<std::size_t>(index)]
               : nullptr;
}

void Tedytor::editSelected(LogPage& page) {
    if (page.selected == -1) return;
    actOnHighlighted(&page, &desktop::WindowOpener::openEditEntry);
}

void Tedytor::editEntry() {
    actOnHighlighted(shownLogPage(), &desktop::WindowOpener::openEditEntry);
}

void Tedytor::deleteEntry() {
    actOnHighlighted(shownLogPage(), &desktop::WindowOpener::openDeleteEntry);
}

}  // namespace kv::editor
