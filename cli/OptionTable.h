#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

struct OptionDeclaration;

// Judges a value given to option: an error message, or empty when the value will do. earlier
// holds the values the option was given before on the same command line, in order.
using OptionCheck = QString (*)(const OptionDeclaration& option, const QString& value,
                                const QStringList& earlier);

// One option of the command line. An option with a value name takes a value, given as
// "--name value", "--name=value", and with a short name also "-x value" or "-xvalue"; one
// without is given alone, exactly as named.
struct OptionDeclaration
{
    const char* name;                // "--port"
    const char* shortName = nullptr; // "-p"
    const char* valueName = nullptr; // "PORT", as the help shows it
    OptionCheck check = nullptr;     // null: any value that is not empty
};

// The options of one command.
struct OptionTable
{
    std::vector<const OptionDeclaration*> options;
    // Whether the command takes operands (its FILE): an argument that does not start with '-',
    // "-" alone, and every argument after "--". Without, these are unknown arguments too.
    bool operands = false;
    // The usage error for an argument the command does not know; %1 is the argument.
    const char* unknown = "unknown option %1";
};

// What a command line gave: the options in order, each with its value, and the operands.
class ParsedOptions
{
public:
    void Add(const OptionDeclaration& option, const QString& value);
    bool Has(const OptionDeclaration& option) const;
    QStringList Values(const OptionDeclaration& option) const;
    // The value given last, or fallback when the option was not given.
    QString Value(const OptionDeclaration& option, const QString& fallback = QString()) const;

    QStringList operands;

private:
    std::vector<std::pair<const OptionDeclaration*, QString>> m_given;
};

// Reads args by table, stopping at the first mistake. False with a one-line message in error:
// an unknown argument, "--name needs a value" for a value that is missing or empty, or what
// the option's check says of its value.
bool ParseOptions(const QStringList& args, const OptionTable& table, ParsedOptions& parsed,
                  QString& error);

// A check for a count option: a whole number from minimum on.
template <int minimum>
QString WholeNumberFrom(const OptionDeclaration& option, const QString& value, const QStringList&)
{
    bool ok = false;
    const int count = value.toInt(&ok);
    if (ok && count >= minimum)
        return QString();
    return QStringLiteral("%1 needs a whole number from %2 on, not \"%3\"")
        .arg(QLatin1String(option.name))
        .arg(minimum)
        .arg(value);
}
