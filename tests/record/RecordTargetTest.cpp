// What --record names: a file, a server, or a mistyped address that is refused rather than
// taken for a file name; and an address shown without its password.
#include "RecordTarget.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordTargetTest, AddressesAndFilesAreToldApart)
{
    const struct
    {
        const char* spec;
        const char* file;   // the file it names; nullptr when it is refused
        const char* server; // the server it names, if any
    } cases[] = {
        {"postgresql://line:pw@db.local:5433/record", "local.sqlite",
         "postgresql://line@db.local:5433/record"},
        {"POSTGRESQL://line@db.local/record", "local.sqlite",
         "postgresql://line@db.local:5432/record"},
        {"postgresql:/line:pw@db.local/record", nullptr, nullptr},
        {"postgressql://line:pw@db.local/record", nullptr, nullptr},
        {"postgresql://line@db.local/record?service=x", nullptr, nullptr},
        {"history.sqlite:old", nullptr, nullptr},
        {"./history.sqlite:old", "./history.sqlite:old", nullptr},
        {"C:/records/history.sqlite", "C:/records/history.sqlite", nullptr},
        {"C:\\records\\history.sqlite", "C:\\records\\history.sqlite", nullptr},
        {"", "local.sqlite", nullptr},
    };
    for (const auto& test : cases) {
        QString error;
        const auto target =
            ParseRecordTarget(QString::fromUtf8(test.spec), error, QStringLiteral("local.sqlite"));
        ASSERT_EQ(target.has_value(), test.file != nullptr) << test.spec;
        EXPECT_FALSE(error.contains(QLatin1String("pw"))) << qPrintable(error);
        if (!target)
            continue;
        EXPECT_EQ(target->file.toStdString(), test.file) << test.spec;
        EXPECT_EQ(target->IsServer() ? target->ServerName().toStdString() : std::string(),
                  test.server ? test.server : "")
            << test.spec;
    }
}

TEST(RecordTargetTest, PasswordsAreNeverShown)
{
    const struct
    {
        const char* spec;
        const char* shown;
    } cases[] = {
        {"postgresql://line:pw@db/record", "postgresql://line:***@db/record"},
        {"postgresql://line:p@ss/w:rd@db:5433/record", "postgresql://line:***@db:5433/record"},
        {"postgressql:/line:pw@db/record", "postgressql:/line:***@db/record"},
        {"postgresql://line@db:5433/record", "postgresql://line@db:5433/record"},
        {"/var/lib/records:2/history.sqlite", "/var/lib/records:2/history.sqlite"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(AddressWithoutPassword(QString::fromUtf8(test.spec)).toStdString(), test.shown);
}

} // namespace
