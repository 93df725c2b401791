#pragma once

#include <QString>
#include <QStringList>

// Whether args[index] is the option longName (or, when given, shortName) with its value:
// "--name value", "--name=value", "-p value" or "-pvalue". When it is, index moves past the
// value taken and error tells when the value is missing or empty.
inline bool TakeOptionValue(const QStringList& args, qsizetype& index, const QString& longName,
                            QString& value, QString& error, const QString& shortName = QString())
{
    const QString& arg = args[index];
    if (arg == longName || (!shortName.isEmpty() && arg == shortName)) {
        if (index + 1 >= args.size()) {
            error = arg + QStringLiteral(" needs a value");
            return true;
        }
        value = args[++index];
    } else if (arg.startsWith(longName + QLatin1Char('='))) {
        value = arg.mid(longName.size() + 1);
    } else if (!shortName.isEmpty() && arg.startsWith(shortName)) {
        value = arg.mid(shortName.size());
    } else {
        return false;
    }
    if (value.isEmpty())
        error = longName + QStringLiteral(" needs a value");
    return true;
}

// The count value of the option name: a whole number from minimum on. False with error set
// when it is not.
inline bool ParseCount(const QString& name, const QString& value, int minimum, int& count,
                       QString& error)
{
    bool ok = false;
    count = value.toInt(&ok);
    if (ok && count >= minimum)
        return true;
    error = QStringLiteral("%1 needs a whole number from %2 on, not \"%3\"")
                .arg(name)
                .arg(minimum)
                .arg(value);
    return false;
}
