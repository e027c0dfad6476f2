#pragma once
// The command line run in this process over a sandbox installation, on a day
// the test chooses, with what it printed and the log files to compare.

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>
#include <memory>

#include "cli.h"
#include "sandbox.h"

namespace kv::testing {

class CliFixture : public QObject {
protected:
    std::unique_ptr<Sandbox> m_box = std::make_unique<Sandbox>();
    QDate m_today{2026, 12, 9};

    cli::Reply kv(const QStringList& words) {
        return cli::run(QStringList{"kalvex4"} + words, m_today);
    }
    // Runs a command that must succeed and returns what it printed.
    std::string ok(const QStringList& words) {
        const cli::Reply r = kv(words);
        if (r.status != 0) qWarning("%s: %s", qPrintable(words.join(' ')), r.err.c_str());
        [&] { QCOMPARE(r.status, 0); }();
        return r.out;
    }
    QJsonArray json(const QStringList& words) {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(
            QByteArray::fromStdString(ok(words + QStringList{"--json"})), &error);
        [&] { QCOMPARE(error.error, QJsonParseError::NoError); }();
        return doc.array();
    }
    // The three log files of an installation, as bytes.
    static std::string logsOf(const Sandbox& box) {
        const storage::FileNames f = box.files();
        std::string all;
        for (const std::string& path : {f.log, f.log_staly, f.log_glowny}) {
            QFile file(QString::fromStdString(path));
            all += file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(missing)";
            all += "|";
        }
        return all;
    }
    std::string allLogs() const { return logsOf(*m_box); }
};

}  // namespace kv::testing
