// Where the window looks for its help document: beside the program (the build tree, a
// copied folder) or in the installed share folder beside its bin folder.
#include "HelpLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kDocument = QStringLiteral("/Help/Upgrader_Help_Contents.htm");

void Put(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(HelpLocationTest, PrefersTheFolderBesideTheProgramThenTheInstalledOne)
{
    QTemporaryDir prefix;
    const QString bin = prefix.path() + QStringLiteral("/bin");
    QDir().mkpath(bin);
    const QString installed = prefix.path() + QStringLiteral("/share/norvane-upgrader") + kDocument;

    // Neither: the path beside the program, so a message can name it.
    EXPECT_EQ(HelpFilePath(bin), bin + kDocument);

    Put(installed);
    EXPECT_EQ(HelpFilePath(bin), installed);

    Put(bin + kDocument);
    EXPECT_EQ(HelpFilePath(bin), bin + kDocument);
}

} // namespace
