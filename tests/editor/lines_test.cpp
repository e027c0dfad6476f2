// The editor's lines: each acts only on the entry it shows, and commands act
// on the line highlighted on the page shown.

#include <QLabel>
#include <QPushButton>

#include "editorfixture.h"

using namespace kv;
using storage::LogKind;
using testing::child;

class EditorLinesTest : public testing::EditorFixture {
    Q_OBJECT

private slots:
    void init() { initFixture(); }

    void aLineAndItsPreviewShowTheWholeTexts() {
        storage::EntryData e = testing::entry("\"Hi\" said \"Bob\"", "2026-01-01");
        e.informacja = " " + std::string(2000, 'w') + "\nend ";
        add(LogKind::Private, e);
        auto w = open();
        QCOMPARE(lines(*w, "lista"), QStringList{"2026-01-01: \"Hi\" said \"Bob\""});
        clickLine(*w, "lista", 0);
        QCOMPARE(child<QPlainTextEdit>(*w, "podglad")->toPlainText(),
                 QString::fromStdString(e.informacja));
    }

    // Every text of a log, its date included, is shown as typed.
    void markupInAnEntryIsShownAsTyped() {
        const std::string markup = "<b>Lunch</b> <img src=\"/nowhere.png\">";
        storage::EntryData e = testing::entry(markup, "<b>2026-01-01</b>", "raz", "wszyscy");
        e.informacja = markup;
        add(LogKind::Public, e);
        auto w = open();
        clickLine(*w, "lista_glowna", 0);
        QCOMPARE(child<QLabel>(*w, "wygasa_glowny")->text(), QString("<b>2026-01-01</b>"));
        for (const QLabel* label : w->findChildren<QLabel*>())
            QVERIFY2(label->textFormat() == Qt::PlainText || !Qt::mightBeRichText(label->text()),
                     qPrintable(label->objectName() + ": " + label->text()));
        for (const QWidget* widget : w->findChildren<QWidget*>())
            QVERIFY2(!widget->toolTip().contains("<img"), qPrintable(widget->objectName()));
    }

    void aLineRenumberedMeanwhileActsOnNothingAndTheListsAreReadAgain() {
        for (const char* t : {"first", "second", "third"})
            add(LogKind::Private, testing::entry(t, "2026-01-01"));
        auto w = open();
        clickLine(*w, "lista", 1);
        QCOMPARE(active().number, 1);
        // Another process removes the first entry: "second" moves into slot 0.
        storage::Profile log = m_box->log(LogKind::Private);
        storage::removeEntry(log, LogKind::Private, 0, storage::RemovalOrder::DeleteWindow);
        QTest::mouseClick(child<QPushButton>(*w, "btn2"), Qt::LeftButton);
        QVERIFY(m_opener.opened.isEmpty());
        QCOMPARE(m_s->messages.size(), std::size_t(1));
        QVERIFY(m_s->messageTexts().first().contains("changed in its log"));
        QCOMPARE(active().number, 1);  // nothing handed over
        rebuild(*w);
        QCOMPARE(lines(*w, "lista"), (QStringList{"2026-01-01: second", "2026-01-01: third"}));
        // The same for Delete, after the renumbering of a rewrite.
        clickLine(*w, "lista", 1);
        storage::rewriteEntry(log, LogKind::Private, 1, testing::entry("changed", "2026-01-01"));
        QTest::keyClick(w.get(), Qt::Key_Delete);
        QVERIFY(m_opener.opened.isEmpty());
        QCOMPARE(m_s->messages.size(), std::size_t(2));
        rebuild(*w);
        QCOMPARE(lines(*w, "lista"), (QStringList{"2026-01-01: second", "2026-01-01: changed"}));
        // A click on a line whose slot changed previews nothing and hands nothing over.
        rebuild(*w);
        clickLine(*w, "lista", 0);
        storage::rewriteEntry(log, LogKind::Private, 0, testing::entry("other", "2026-02-02"));
        m_s->messages.clear();
        clickLine(*w, "lista", 0);
        QCOMPARE(m_s->messages.size(), std::size_t(1));
        QVERIFY(w->rebuildTimer()->isActive());
    }

    void tabbingIntoAListHighlightsTheLineItHandsOver() {
        add(LogKind::Public, testing::entry("ours", "2026-02-02", "raz", "wszyscy"));
        auto w = open();
        QTest::mouseClick(child<QPushButton>(*w, "Button3"), Qt::LeftButton);
        auto* tree = child<QTreeWidget>(*w, "lista_glowna");
        w->activateWindow();
        child<QPushButton>(*w, "Button3")->setFocus();
        QTRY_VERIFY(!tree->hasFocus());
        tree->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(tree->currentItem() && tree->currentItem()->isSelected());
        QCOMPARE(active().number, 0);
        QCOMPARE(child<QLabel>(*w, "wygasa_glowny")->text(), QString("2026-02-02"));
        QTest::keyClick(tree, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(m_opener.opened, QStringList{"edit"});
    }

    void commandsActOnTheHighlightedLineOfThePageShown() {
        add(LogKind::Private, testing::entry("mine", "2026-01-01"));
        add(LogKind::Public, testing::entry("ours", "2026-02-02", "raz", "wszyscy"));
        auto w = open();
        clickLine(*w, "lista", 0);
        QTest::mouseClick(child<QPushButton>(*w, "Button3"), Qt::LeftButton);
        // The private line is highlighted on a page no longer shown.
        QTest::keyClick(w.get(), Qt::Key_E, Qt::ControlModifier);
        QTest::mouseClick(child<QPushButton>(*w, "btn3"), Qt::LeftButton);
        QVERIFY(m_opener.opened.isEmpty());
        QVERIFY(child<QLabel>(*w, "status")->text().contains("no entry is highlighted"));
        clickLine(*w, "lista_glowna", 0);
        QTest::keyClick(w.get(), Qt::Key_Delete);
        QCOMPARE(m_opener.opened, QStringList{"delete"});
        QCOMPARE(active().log, std::string("log_glowny"));
        // A line no longer highlighted is not acted on.
        rebuild(*w);
        clickLine(*w, "lista_glowna", 0);
        child<QTreeWidget>(*w, "lista_glowna")->clearSelection();
        QTest::keyClick(w.get(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(m_opener.opened, QStringList{"delete"});
    }
};

QTEST_MAIN(EditorLinesTest)
#include "lines_test.moc"
