// The command-line parser every command of norvane-flash shares: the forms an option and its
// value may take, operands and "--", and the one-line mistakes it reports.
#include "OptionTable.h"
#include "SharedOptions.h"

#include <gtest/gtest.h>

namespace {

QString Once(const OptionDeclaration&, const QString& value, const QStringList& earlier)
{
    return earlier.contains(value) ? value + QStringLiteral(" twice") : QString();
}

constexpr OptionDeclaration kPort{
    .name = "--port", .shortName = "-p", .valueName = "PORT", .check = Once};

// What was parsed, by table order: "--port=a --json | operand,operand".
QString Describe(const OptionTable& table, const ParsedOptions& parsed)
{
    QStringList given;
    for (const OptionDeclaration* option : table.options) {
        for (const QString& value : parsed.Values(*option))
            given << QLatin1String(option->name) + (option->valueName ? "=" + value : QString());
    }
    return given.join(u' ') + QStringLiteral(" | ") + parsed.operands.join(u',');
}

TEST(OptionTableTest, ParsesEveryFormAndRefusesInOneLine)
{
    const OptionTable withFile{.options = {&kPort, &kRetriesOption, &kJsonOption, &kHelpOption},
                               .operands = true};
    const OptionTable withoutFile{
        .options = {&kJsonOption}, .operands = false, .unknown = "unexpected argument '%1'"};
    const struct
    {
        const OptionTable& table;
        QStringList args;
        QString parsed; // or the error
    } rows[] = {
        {withFile,
         {"--port", "a", "--port=b", "-p", "c", "-pd"},
         "--port=a --port=b --port=c --port=d | "},
        {withFile,
         {"--json", "-h", "--retries", "2", "fw.mot"},
         "--retries=2 --json --help | fw.mot"},
        {withFile, {"-", "--", "--json", "-pa"}, " | -,--json,-pa"},
        {withFile, {"--retries", "-1"}, "--retries needs a whole number from 0 on, not \"-1\""},
        {withFile,
         {"--retries=x", "--bogus"},
         "--retries needs a whole number from 0 on, not \"x\""},
        {withFile, {"--retries"}, "--retries needs a value"},
        {withFile, {"--retries="}, "--retries needs a value"},
        {withFile, {"-p"}, "-p needs a value"},
        {withFile, {"-p", ""}, "--port needs a value"},
        {withFile, {"-pa", "--port", "a"}, "a twice"},
        {withFile, {"--json=1"}, "unknown option --json=1"},
        {withFile, {"--bogus", "--json"}, "unknown option --bogus"},
        {withFile, {"-hp"}, "unknown option -hp"},
        {withoutFile, {"--json", "fw.mot"}, "unexpected argument 'fw.mot'"},
        {withoutFile, {"--"}, "unexpected argument '--'"},
        {withoutFile, {"-"}, "unexpected argument '-'"},
    };
    for (const auto& row : rows) {
        ParsedOptions parsed;
        QString error;
        const bool ok = ParseOptions(row.args, row.table, parsed, error);
        const QString outcome = ok ? Describe(row.table, parsed) : error;
        EXPECT_EQ(outcome.toStdString(), row.parsed.toStdString())
            << qPrintable(row.args.join(u' '));
        EXPECT_EQ(ok, error.isEmpty());
    }
}

TEST(OptionTableTest, ValueIsTheLastGivenOrTheFallback)
{
    ParsedOptions parsed;
    QString error;
    ASSERT_TRUE(ParseOptions({"-pa", "-pb"}, OptionTable{.options = {&kPort, &kRecordOption}},
                             parsed, error));
    EXPECT_EQ(parsed.Value(kPort).toStdString(), "b");
    EXPECT_EQ(parsed.Value(kRecordOption, "default").toStdString(), "default");
    EXPECT_FALSE(parsed.Has(kRecordOption));
}

} // namespace
