#include "cli.h"

#include "command.h"
#include "notices.h"

namespace kv::cli {

namespace {

using R = OptionRule;

struct CommandRule {
    const char* name;
    int words;  // how many arguments besides the options
    const char* usage;
    std::vector<OptionRule> options;
    int (*run)(Command&);
};

const std::vector<CommandRule>& commandRules() {
    static const std::vector<CommandRule> rules = {
        {"list",
         0,
         "list [--log private|static|public]... [--due [DATE] | --from DATE --to DATE | --days N] "
         "[--json]",
         {{"log", R::Value, true},
          {"due", R::OptionalValue},
          {"from", R::Value},
          {"to", R::Value},
          {"days", R::Value},
          {"json"}},
         listCommand},
        {"add",
         0,
         "add --subject S [--text T] --date YYYY-MM-DD [--every year|month] "
         "[--for USER | --everyone] [--type T] [--sound S] [--email ADDRESS] [--url URL] "
         "[--program PATH] [--file PATH] [--past]",
         {{"subject", R::Value},
          {"text", R::Value},
          {"date", R::Value},
          {"every", R::Value},
          {"for", R::Value},
          {"everyone"},
          {"type", R::Value},
          {"sound", R::Value},
          {"email", R::Value},
          {"url", R::Value},
          {"program", R::Value},
          {"file", R::Value},
          {"past"}},
         addCommand},
        {"remove",
         2,
         "remove private|static|public N [--subject S]",
         {{"subject", R::Value}},
         removeCommand},
        {"export",
         0,
         "export --ics FILE|- [--log private|static|public]...",
         {{"ics", R::Value}, {"log", R::Value, true}},
         exportCommand},
        {"import",
         0,
         "import --ics FILE|- --log private|static|public [--for USER | --everyone] [--dry-run] "
         "[--trust-actions]",
         {{"ics", R::Value},
          {"log", R::Value},
          {"for", R::Value},
          {"everyone"},
          {"dry-run"},
          {"trust-actions"}},
         importCommand},
    };
    return rules;
}

const CommandRule* ruleFor(const QStringList& arguments) {
    if (arguments.size() < 2) return nullptr;
    for (const CommandRule& rule : commandRules())
        if (arguments[1] == rule.name) return &rule;
    return nullptr;
}

int usageError(Reply& reply, const CommandRule& rule, const QString& problem) {
    reply.err +=
        ("kalvex4 " + QString(rule.name) + ": " + problem + "\nUsage: kalvex4 " + rule.usage + "\n")
            .toStdString();
    return kUsage;
}

int runRule(const CommandRule& rule, const QStringList& words, const QDate& today, Reply& reply) {
    std::vector<OptionRule> options = rule.options;
    options.push_back({"help"});
    const Arguments args(words, options);
    if (!args.error().isEmpty()) return usageError(reply, rule, args.error());
    if (!args.has("help") && args.positional().size() != qsizetype(rule.words))
        return usageError(reply, rule,
                          rule.words == 0 || args.positional().size() > qsizetype(rule.words)
                              ? "unexpected argument \"" + args.positional().last() + "\""
                              : QString("too few arguments"));
    if (args.has("help")) {
        reply.out += "Usage: kalvex4 " + std::string(rule.usage) + "\n";
        return kOk;
    }
    const std::optional<storage::Location> where = storage::locate();
    if (!where) {
        reply.err +=
            "kalvex4: Kalvex4 is not installed on this machine: " + storage::storeDescription() +
            " is missing. The administrator installs it with kalvex4-setup.\n";
        return kRefused;
    }
    Command command(args, *where, today, reply);
    try {
        return rule.run(command);
    } catch (const storage::WriteError& e) {
        return command.fail(kRefused, QString::fromStdString(e.what()));
    }
}

}  // namespace

bool isCommand(const QStringList& arguments) {
    return ruleFor(arguments) != nullptr;
}

Reply run(const QStringList& arguments, const QDate& today) {
    Reply reply;
    const CommandRule* rule = ruleFor(arguments);
    if (!rule) {
        reply.err = "kalvex4: no command given\n";
        reply.status = kUsage;
        return reply;
    }
    // A file that cannot be read is said on standard error, once.
    const storage::NoticeHandler before = storage::setNoticeHandler(
        [&reply](const std::string& text) { reply.err += "kalvex4: " + text + "\n"; });
    reply.status = runRule(*rule, arguments.mid(2), today, reply);
    storage::setNoticeHandler(before);
    return reply;
}

QString commandsHelp() {
    QString text = "Commands (they need no display; \"kalvex4 COMMAND --help\" for one):\n";
    for (const CommandRule& rule : commandRules())
        text += "  kalvex4 " + QString(rule.usage) + "\n";
    return text;
}

}  // namespace kv::cli
