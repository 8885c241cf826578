#include "TbmOptions.h"
#include "TbmSourceNames.h"

#include "TbmUsageError.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>

namespace {

using Command = CTbmOptions::Command;

// One option of a command: whether it takes a value, and what it sets.
struct OptionRule
{
    bool takesValue;
    std::function<void(CTbmOptions&, const std::string&)> apply;
};
using RuleTable = std::map<std::string, OptionRule>;

const std::map<std::string, Command>& CommandNames()
{
    static const std::map<std::string, Command> names = {{"backup", Command::Backup},
                                                         {"verify", Command::Verify},
                                                         {"list", Command::List},
                                                         {"extract", Command::Extract},
                                                         {"restore", Command::Restore},
                                                         {"sources", Command::Sources},
                                                         {"schedule", Command::Schedule}};
    return names;
}

int ParseType(const std::string& text)
{
    if (text == "normal")
        return 0;
    if (text == "update")
        return 1;
    if (text == "sync")
        return 2;
    throw CTbmUsageError("--type takes normal, update or sync, not '" + text + "'");
}

CTbmOptions::OnError ParseOnError(const std::string& text)
{
    if (text == "ask")
        return CTbmOptions::OnError::Ask;
    if (text == "skip")
        return CTbmOptions::OnError::Skip;
    if (text == "cancel")
        return CTbmOptions::OnError::Cancel;
    throw CTbmUsageError("--on-error takes ask, skip or cancel, not '" + text + "'");
}

CTbmOptions::Encryption ParseEncryption(const std::string& text)
{
    if (text == "aes256")
        return CTbmOptions::Encryption::Aes256;
    if (text == "traditional")
        return CTbmOptions::Encryption::Traditional;
    throw CTbmUsageError("--encryption takes aes256 or traditional, not '" + text + "'");
}

int ParseExisting(const std::string& text)
{
    if (text == "keep")
        return 0;
    if (text == "newer")
        return 1;
    if (text == "replace")
        return 2;
    throw CTbmUsageError("--existing takes keep, newer or replace, not '" + text + "'");
}

int ParseThreads(const std::string& text)
{
    const bool digits = !text.empty() && text.size() <= 3 &&
                        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits || std::stoi(text) > CTbmOptions::kMaxThreads)
        throw CTbmUsageError("--threads takes 0 (one per core) to " +
                             std::to_string(CTbmOptions::kMaxThreads) + ", not '" + text + "'");
    return std::stoi(text);
}

void ParseTime(CTbmOptions::Schedule& schedule, const std::string& text)
{
    const bool shaped = text.size() == 5 && text[2] == ':' &&
                        std::isdigit(static_cast<unsigned char>(text[0])) &&
                        std::isdigit(static_cast<unsigned char>(text[1])) &&
                        std::isdigit(static_cast<unsigned char>(text[3])) &&
                        std::isdigit(static_cast<unsigned char>(text[4]));
    const int hour = shaped ? std::stoi(text.substr(0, 2)) : -1;
    const int minute = shaped ? std::stoi(text.substr(3, 2)) : -1;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59)
        throw CTbmUsageError("--at takes a time HH:MM, not '" + text + "'");
    schedule.hour = hour;
    schedule.minute = minute;
}

int ParseWeekDay(const std::string& text)
{
    static const char* const days[] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
    std::string lower;
    for (const char c : text.substr(0, 3))
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (int day = 0; day < 7; ++day)
        if (lower == days[day] || text == std::to_string(day))
            return day;
    throw CTbmUsageError("--weekly takes a weekday (sun ... sat or 0 ... 6), not '" + text + "'");
}

void AddScheduleRules(RuleTable& rules)
{
    using O = CTbmOptions;
    rules["--job"] = {true, [](O& o, const std::string& v) { o.m_strJob = v; }};
    rules["--at"] = {true, [](O& o, const std::string& v) { ParseTime(o.m_Schedule, v); }};
    rules["--daily"] = {false, [](O& o, const std::string&) { o.m_Schedule.frequency = 0; }};
    rules["--weekly"] = {true, [](O& o, const std::string& v) {
                             o.m_Schedule.frequency = 1;
                             o.m_Schedule.weekDay = ParseWeekDay(v);
                         }};
    rules["--logon"] = {false, [](O& o, const std::string&) { o.m_Schedule.frequency = 2; }};
    rules["--no-battery"] = {false, [](O& o, const std::string&) { o.m_Schedule.noBattery = true; }};
    rules["--show-report"] = {false, [](O& o, const std::string&) { o.m_Schedule.showReport = true; }};
    rules["--no-verify"] = {false, [](O& o, const std::string&) { o.m_Schedule.validate = false; }};
    rules["--no-exit"] = {false, [](O& o, const std::string&) { o.m_Schedule.exitWhenDone = false; }};
}

void CheckSchedule(CTbmOptions& options, const std::vector<std::string>& positional)
{
    if (positional.size() != 1 ||
        (positional[0] != "show" && positional[0] != "set" && positional[0] != "remove"))
        throw CTbmUsageError("schedule takes show, set or remove");
    options.m_Schedule.action = positional[0];
    if (options.m_Schedule.action == "set" && options.m_strJob.empty())
        throw CTbmUsageError("schedule set needs --job NAME");
}

void AddSourceRule(RuleTable& rules)
{
    rules["--source"] = {true, [](CTbmOptions& o, const std::string& v) {
                             const auto kind = CTbmSourceNames::KindOf(v);
                             if (!kind)
                                 throw CTbmUsageError("unknown source '" + v + "' (known: " +
                                                      CTbmSourceNames::List() + ")");
                             o.m_Sources.push_back(*kind);
                         }};
}

void AddPasswordRules(RuleTable& rules)
{
    rules["--password-file"] = {
        true, [](CTbmOptions& o, const std::string& v) { o.m_strPasswordFile = v; }};
    rules["--password-env"] = {
        true, [](CTbmOptions& o, const std::string& v) { o.m_strPasswordEnv = v; }};
}

RuleTable RulesFor(Command command)
{
    RuleTable rules;
    switch (command) {
    case Command::Backup:
        rules["--job"] = {true, [](CTbmOptions& o, const std::string& v) { o.m_strJob = v; }};
        rules["--output"] = {true, [](CTbmOptions& o, const std::string& v) { o.m_strOutput = v; }};
        rules["--type"] = {true,
                           [](CTbmOptions& o, const std::string& v) { o.m_nType = ParseType(v); }};
        rules["--volume-size"] = {true, [](CTbmOptions& o, const std::string& v) {
                                      o.m_qwVolumeSize = CTbmOptions::ParseVolumeSize(v);
                                  }};
        rules["--on-error"] = {
            true, [](CTbmOptions& o, const std::string& v) { o.m_onError = ParseOnError(v); }};
        rules["--no-verify"] = {false,
                                [](CTbmOptions& o, const std::string&) { o.m_bVerify = false; }};
        rules["--encryption"] = {true, [](CTbmOptions& o, const std::string& v) {
                                     o.m_encryption = ParseEncryption(v);
                                 }};
        rules["--threads"] = {
            true, [](CTbmOptions& o, const std::string& v) { o.m_nThreads = ParseThreads(v); }};
        AddSourceRule(rules);
        AddPasswordRules(rules);
        break;
    case Command::Verify:
        AddPasswordRules(rules);
        break;
    case Command::Schedule:
        AddScheduleRules(rules);
        break;
    case Command::List:
        rules["--json"] = {false, [](CTbmOptions& o, const std::string&) { o.m_bJson = true; }};
        break;
    case Command::Extract:
        rules["--to"] = {true, [](CTbmOptions& o, const std::string& v) { o.m_strTarget = v; }};
        AddPasswordRules(rules);
        break;
    case Command::Restore:
        rules["--to"] = {true, [](CTbmOptions& o, const std::string& v) { o.m_strTarget = v; }};
        rules["--flat"] = {false, [](CTbmOptions& o, const std::string&) { o.m_bFlat = true; }};
        rules["--existing"] = {
            true, [](CTbmOptions& o, const std::string& v) { o.m_nExisting = ParseExisting(v); }};
        rules["--only"] = {true, [](CTbmOptions& o, const std::string& v) {
                               if (v.empty())
                                   throw CTbmUsageError("--only needs a pattern");
                               o.m_OnlyPatterns.push_back(v);
                           }};
        AddSourceRule(rules);
        AddPasswordRules(rules);
        break;
    default:
        break;
    }
    return rules;
}

// Applies one "--name", "--name value" or "--name=value" at args[index]; returns
// the index of the last argument it used.
std::size_t ApplyOption(CTbmOptions& options, const RuleTable& rules,
                        const std::vector<std::string>& args, std::size_t index)
{
    const std::string& arg = args[index];
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const auto rule = rules.find(name);
    if (rule == rules.end())
        throw CTbmUsageError("unknown option '" + name + "'");
    if (!rule->second.takesValue) {
        if (equals != std::string::npos)
            throw CTbmUsageError(name + " takes no value");
        rule->second.apply(options, {});
        return index;
    }
    if (equals != std::string::npos) {
        rule->second.apply(options, arg.substr(equals + 1));
        return index;
    }
    if (index + 1 >= args.size())
        throw CTbmUsageError(name + " needs a value");
    rule->second.apply(options, args[index + 1]);
    return index + 1;
}

void CheckCommand(CTbmOptions& options, std::vector<std::string>& positional)
{
    if (options.m_command == Command::Backup) {
        options.m_Paths = std::move(positional);
        if (!options.m_strPasswordFile.empty() && !options.m_strPasswordEnv.empty())
            throw CTbmUsageError("give either --password-file or --password-env, not both");
        // A method without a password would be silently ignored: the backup would
        // not be encrypted at all.
        if (options.m_encryption != CTbmOptions::Encryption::Keep && !options.HasPasswordOption())
            throw CTbmUsageError("--encryption needs a password: give --password-file or "
                                 "--password-env");
        return;
    }
    if (options.m_command == Command::Schedule) {
        CheckSchedule(options, positional);
        return;
    }
    if (options.m_command == Command::Sources) {
        if (!positional.empty())
            throw CTbmUsageError("unexpected argument '" + positional[0] + "'");
        return;
    }
    if (positional.empty())
        throw CTbmUsageError("name the backup file");
    if (positional.size() > 1)
        throw CTbmUsageError("unexpected argument '" + positional[1] + "'");
    options.m_strArchive = positional[0];
    if (!options.m_strPasswordFile.empty() && !options.m_strPasswordEnv.empty())
        throw CTbmUsageError("give either --password-file or --password-env, not both");
    if (options.m_command == Command::Extract && options.m_strTarget.empty())
        throw CTbmUsageError("extract needs --to DIR");
    if (options.m_bFlat && options.m_strTarget.empty())
        throw CTbmUsageError("--flat needs --to DIR");
}

} // namespace

CTbmOptions CTbmOptions::Parse(const std::vector<std::string>& args)
{
    CTbmOptions options;
    if (args.empty())
        throw CTbmUsageError("name a command");
    const std::string& first = args[0];
    if (first == "-h" || first == "--help" || first == "help")
        return options;
    if (first == "--version") {
        options.m_command = Command::Version;
        return options;
    }
    const auto command = CommandNames().find(first);
    if (command == CommandNames().end())
        throw CTbmUsageError("unknown command '" + first + "'");
    options.m_command = command->second;

    const RuleTable rules = RulesFor(options.m_command);
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "-h" || arg == "--help")) {
            return CTbmOptions();
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            i = ApplyOption(options, rules, args, i);
        } else {
            if (arg.empty())
                throw CTbmUsageError("an empty argument is not a path");
            positional.push_back(arg);
        }
    }
    CheckCommand(options, positional);
    return options;
}

std::uint64_t CTbmOptions::ParseVolumeSize(const std::string& text)
{
    std::size_t digits = 0;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits])))
        ++digits;
    if (digits == 0 || digits > 12)
        throw CTbmUsageError("--volume-size takes a number with k, M or G, not '" + text + "'");
    std::uint64_t value = std::stoull(text.substr(0, digits));
    const std::string unit = text.substr(digits);
    if (unit == "k" || unit == "K")
        value *= 1024;
    else if (unit == "m" || unit == "M")
        value *= 1024 * 1024;
    else if (unit == "g" || unit == "G")
        value *= 1024ull * 1024 * 1024;
    else if (!unit.empty())
        throw CTbmUsageError("--volume-size takes a number with k, M or G, not '" + text + "'");
    if (value < kMinVolumeSize || value > kMaxVolumeSize)
        throw CTbmUsageError("--volume-size must lie between 64k and 2047M, not '" + text + "'");
    return value;
}
