#include "arguments.h"

namespace kv::cli {

Arguments::Arguments(const QStringList& args, const std::vector<OptionRule>& rules) {
    take(args, rules);
}

void Arguments::take(const QStringList& args, const std::vector<OptionRule>& rules) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& word = args[i];
        if (!word.startsWith("--") || word == "--") {
            m_positional << word;
            continue;
        }
        const qsizetype eq = word.indexOf('=');
        const QString name = word.mid(2, eq < 0 ? -1 : eq - 2);
        const OptionRule* rule = nullptr;
        for (const OptionRule& r : rules)
            if (name == r.name) rule = &r;
        if (!rule) {
            m_error = "unknown option \"--" + name + "\"";
            return;
        }
        if (!rule->repeats && m_values.count(name)) {
            m_error = "\"--" + name + "\" is given twice";
            return;
        }
        std::optional<QString> value;
        if (eq >= 0) {
            if (rule->kind == OptionRule::Switch) {
                m_error = "\"--" + name + "\" takes no value";
                return;
            }
            value = word.mid(eq + 1);
        } else if (rule->kind != OptionRule::Switch && i + 1 < args.size() &&
                   (rule->kind == OptionRule::Value || !args[i + 1].startsWith("-"))) {
            value = args[++i];
        } else if (rule->kind == OptionRule::Value) {
            m_error = "\"--" + name + "\" needs a value";
            return;
        }
        m_values.emplace(name, value);
    }
}

std::optional<QString> Arguments::value(const char* name) const {
    std::optional<QString> last;
    const auto [from, to] = m_values.equal_range(name);
    for (auto it = from; it != to; ++it) last = it->second;
    return last;
}

QStringList Arguments::values(const char* name) const {
    QStringList all;
    const auto [from, to] = m_values.equal_range(name);
    for (auto it = from; it != to; ++it)
        if (it->second) all << *it->second;
    return all;
}

}  // namespace kv::cli
