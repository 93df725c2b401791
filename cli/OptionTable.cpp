#include "OptionTable.h"

namespace {

// How an argument names an option: alone, or with its value joined to it from offset on.
struct OptionMatch
{
    const OptionDeclaration* option = nullptr;
    qsizetype valueOffset = -1; // -1: the argument is the option alone
};

OptionMatch FindOption(const OptionTable& table, const QString& arg)
{
    for (const OptionDeclaration* option : table.options) {
        const QLatin1String name(option->name);
        const QLatin1String shortName(option->shortName);
        if (arg == name || (option->shortName && arg == shortName))
            return {option};
        if (!option->valueName)
            continue;
        if (arg.startsWith(name) && arg.size() > name.size() && arg[name.size()] == u'=')
            return {option, name.size() + 1};
        if (option->shortName && arg.startsWith(shortName))
            return {option, shortName.size()};
    }
    return {};
}

bool IsOperand(const QString& arg)
{
    return arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'));
}

} // namespace

void ParsedOptions::Add(const OptionDeclaration& option, const QString& value)
{
    m_given.emplace_back(&option, value);
}

bool ParsedOptions::Has(const OptionDeclaration& option) const
{
    return !Values(option).isEmpty();
}

QStringList ParsedOptions::Values(const OptionDeclaration& option) const
{
    QStringList values;
    for (const auto& [given, value] : m_given) {
        if (given == &option)
            values << value;
    }
    return values;
}

QString ParsedOptions::Value(const OptionDeclaration& option, const QString& fallback) const
{
    const QStringList values = Values(option);
    return values.isEmpty() ? fallback : values.back();
}

bool ParseOptions(const QStringList& args, const OptionTable& table, ParsedOptions& parsed,
                  QString& error)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (table.operands && (optionsEnded || IsOperand(arg))) {
            parsed.operands << arg;
            continue;
        }
        if (table.operands && arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const OptionMatch match = FindOption(table, arg);
        if (!match.option) {
            error = QString::fromLatin1(table.unknown).arg(arg);
            return false;
        }
        const OptionDeclaration& option = *match.option;
        if (!option.valueName) {
            parsed.Add(option, QString());
            continue;
        }
        QString value;
        if (match.valueOffset >= 0) {
            value = arg.mid(match.valueOffset);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            error = arg + QStringLiteral(" needs a value");
            return false;
        }
        if (value.isEmpty())
            error = QLatin1String(option.name) + QStringLiteral(" needs a value");
        else if (option.check)
            error = option.check(option, value, parsed.Values(option));
        if (!error.isEmpty())
            return false;
        parsed.Add(option, value);
    }
    return true;
}
