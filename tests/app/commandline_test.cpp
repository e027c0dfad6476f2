// The command line before any window: what is answered, what is refused, and
// what is left for the toolkit.

#include "commandline.h"

#include <QtTest>

using kv::app::answerArguments;

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void theUsualStartAndTheToolkitsOptionsStartTheProgram() {
        for (const QStringList& args : {QStringList{"kalvex4"},
                                        {"kalvex4", "-platform", "offscreen"},
                                        {"kalvex4", "--style", "Fusion", "-reverse"},
                                        {"kalvex4", "-display", ":3"}})
            QVERIFY2(!answerArguments(args), qPrintable(args.join(' ')));
    }

    void theDesktopEntrysActionsStartTheProgramWithTheirWindow() {
        using kv::app::startCommand;
        for (const auto& [option, command] :
             {std::pair{"--editor", "editor"}, std::pair{"--new-entry", "new"},
              std::pair{"--configuration", "configuration"}}) {
            const QStringList args{"kalvex4", "-platform", "offscreen", option};
            QVERIFY2(!answerArguments(args), option);
            QCOMPARE(startCommand(args), QString(command));
        }
        QCOMPARE(startCommand({"kalvex4"}), QString());
        QVERIFY(answerArguments({"kalvex4", "--help"})->out.contains("--new-entry"));
    }

    void helpAndVersionGoToStandardOutput() {
        const auto help = answerArguments({"kalvex4", "--help"});
        QVERIFY(help && help->status == 0 && help->err.isEmpty());
        QVERIFY(help->out.contains("--version"));
        QVERIFY(!help->out.contains("--platform"));
        const auto all = answerArguments({"kalvex4", "--help-all"});
        QVERIFY(all && all->status == 0);
        QVERIFY(all->out.contains("--platform <name>"));
        QVERIFY(all->out.contains("--style <name>"));
        const auto version = answerArguments({"kalvex4", "-platform", "xcb", "-v"});
        QVERIFY(version && version->status == 0);
        QCOMPARE(version->out, QString("kalvex4 " KV_VERSION "\n"));
    }

    void whatTheProgramDoesNotKnowIsAUsageError() {
        for (const QStringList& args : {QStringList{"kalvex4", "--bogus"},
                                        {"kalvex4", "-x"},
                                        {"kalvex4", "extra"},
                                        {"kalvex4", "-platform"},
                                        {"kalvex4", "--version=3"}}) {
            const auto answer = answerArguments(args);
            QVERIFY2(answer, qPrintable(args.join(' ')));
            QCOMPARE(answer->status, 2);
            QVERIFY(answer->out.isEmpty());
            QVERIFY(answer->err.startsWith("kalvex4: "));
            QVERIFY(answer->err.endsWith("Try \"kalvex4 --help\" for the options.\n"));
        }
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "commandline_test.moc"
