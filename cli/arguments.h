#pragma once
// The options of one command: "--name value", "--name=value" or a switch,
// checked against the command's own list so that a typing error is said.

#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

namespace kv::cli {

struct OptionRule {
    enum Kind { Switch, Value, OptionalValue };
    const char* name;
    Kind kind = Switch;
    bool repeats = false;
};

class Arguments {
public:
    // Parses args (the words after the command); error() tells what was wrong.
    Arguments(const QStringList& args, const std::vector<OptionRule>& rules);

    const QString& error() const { return m_error; }
    bool has(const char* name) const { return m_values.count(name) > 0; }
    // The option's value (the last one given), or nothing when it is absent or
    // was given without one.
    std::optional<QString> value(const char* name) const;
    QStringList values(const char* name) const;
    const QStringList& positional() const { return m_positional; }

private:
    void take(const QStringList& args, const std::vector<OptionRule>& rules);

    std::multimap<QString, std::optional<QString>> m_values;
    QStringList m_positional;
    QString m_error;
};

}  // namespace kv::cli
