// The desktop pieces the windows build on, used as a user does: the real
// file dialog, the calendar from the keyboard, the banner's face, and what
// an action may hand the desktop.

#include <QCalendarWidget>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QListView>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "bannerfont.h"
#include "datepicker.h"
#include "filedialog.h"
#include "shelltarget.h"

using namespace kv;

namespace {

// The names the dialog's list shows in its current folder.
QStringList listed(QFileDialog& dialog) {
    auto* view = dialog.findChild<QListView*>("listView");
    QStringList names;
    if (!view || !view->model()) return names;
    const QModelIndex root = view->rootIndex();
    for (int r = 0; r < view->model()->rowCount(root); ++r)
        names << view->model()->index(r, 0, root).data().toString();
    return names;
}

QTableView* days(desktop::DatePicker& picker) {
    return picker.calendar() ? picker.calendar()->findChild<QTableView*>() : nullptr;
}

}  // namespace

class WidgetsTest : public QObject {
    Q_OBJECT
private slots:
    void theRealProgramDialogListsTheProgramsOfAFolder() {
        QTemporaryDir dir;
        QFile program(dir.filePath("tool"));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\n");
        program.close();
        program.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               QFileDevice::ExeOwner);
        QFile text(dir.filePath("notes.txt"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.close();
        QVERIFY(QDir(dir.path()).mkdir("sub"));

        for (auto [kind, expected] :
             {std::pair{desktop::FileKind::Program, QStringList{"sub", "tool"}},
              std::pair{desktop::FileKind::Any, QStringList{"notes.txt", "sub", "tool"}}}) {
            QFileDialog dialog(nullptr, "Open", dir.path());
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            desktop::prepareOpenDialog(dialog, kind);
            dialog.show();
            QTRY_COMPARE(listed(dialog).size(), expected.size());
            QStringList names = listed(dialog);
            names.sort();
            QCOMPARE(names, expected);
        }
        // And a system folder full of programs lists them.
        QFileDialog dialog(nullptr, "Open", "/usr/bin");
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        desktop::prepareOpenDialog(dialog, desktop::FileKind::Program);
        dialog.show();
        QTRY_VERIFY(listed(dialog).contains("sh"));
    }

    void theCalendarAnswersTheKeyboard() {
        desktop::DatePicker picker;
        picker.setText("2026-05-17");
        picker.show();
        // Alt+Down opens it on the date shown; arrows move, Enter takes the day.
        QTest::keyClick(picker.edit(), Qt::Key_Down, Qt::AltModifier);
        QVERIFY(days(picker));
        QCOMPARE(picker.calendar()->selectedDate(), QDate(2026, 5, 17));
        QTest::keyClick(days(picker), Qt::Key_Right);
        QTest::keyClick(days(picker), Qt::Key_Down);
        QTest::keyClick(days(picker), Qt::Key_Return);
        QTRY_VERIFY(!picker.calendar());
        QCOMPARE(picker.text(), QString("2026-05-25"));
        // Esc closes it and keeps the date.
        picker.dropDown();
        QTest::keyClick(days(picker), Qt::Key_Left);
        QTest::keyClick(days(picker), Qt::Key_Escape);
        QTRY_VERIFY(!picker.calendar());
        QCOMPARE(picker.text(), QString("2026-05-25"));
        // The button the date message names: a calendar page with "15", read as what it does.
        auto* button = picker.findChild<QToolButton*>("calendarButton");
        QVERIFY(!button->icon().isNull());
        QCOMPARE(button->accessibleName(), QString("Choose a date"));
    }

    void onlyDaysOfTheCalendarAreDates() {
        for (const char* good : {"2026-12-24", "2028-02-29", "0001-01-01"})
            QVERIFY2(desktop::DatePicker::isRealDate(good), good);
        for (const char* bad :
             {"2026-1 -  ", "2026-13-45", "2027-02-29", "2026-04-31", "    -  -  ", "2026-00-10"})
            QVERIFY2(!desktop::DatePicker::isRealDate(bad), bad);
    }

    void theBannerFaceDrawsEveryLetterOfItsTitle() {
        const QFont banner = desktop::bannerFont(36);
        QVERIFY2(desktop::drawsAll(banner, "Kalvex4"), qPrintable(QFontInfo(banner).family()));
        QCOMPARE(QFontInfo(banner).pixelSize(), 36);
        // A face that lacks the letters is told apart.
        QVERIFY(!desktop::drawsAll(banner, QString(QChar(0xE000))));
        // So is a symbol face that answers letters with pictures (what a missing
        // Impact resolves to beside the URW fonts of a GNOME desktop).
        if (QFontDatabase::hasFamily("D050000L"))
            QVERIFY(!desktop::drawsAll(QFont("D050000L"), "K"));
    }

    void anActionSaysWhyItCannotBeDone() {
        QTemporaryDir dir;
        QFile file(dir.filePath("plain.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        using desktop::ActionKind;
        QVERIFY(desktop::actionProblem("", ActionKind::Program).contains("no program"));
        QVERIFY(desktop::actionProblem(dir.filePath("gone"), ActionKind::File)
                    .contains("no such file"));
        QVERIFY(desktop::actionProblem(dir.path(), ActionKind::Program).contains("folder"));
        QVERIFY(
            desktop::actionProblem(file.fileName(), ActionKind::Program).contains("not a program"));
        QCOMPARE(desktop::actionProblem(file.fileName(), ActionKind::File), QString());
        QCOMPARE(desktop::actionProblem("/bin/sh", ActionKind::Program), QString());
        QCOMPARE(desktop::actionProblem("https://example.org/", ActionKind::File), QString());
        QVERIFY(desktop::startsAsProgram(QUrl::fromLocalFile("/bin/sh")));
        QVERIFY(!desktop::startsAsProgram(QUrl::fromLocalFile(file.fileName())));
    }
};

QTEST_MAIN(WidgetsTest)
#include "widgets_test.moc"
