// Replays the packet parser's fuzz corpus (and any crash the fuzzer found) through the same
// checks the fuzz target makes.
#include "PacketParserCheck.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QStringList InputsIn(const QString& folder)
{
    const QDir dir(folder);
    QStringList paths;
    for (const QString& name : dir.entryList(QDir::Files))
        paths << dir.filePath(name);
    return paths;
}

TEST(PacketParserCorpusTest, EveryCorpusInputKeepsTheParserRules)
{
    const QStringList corpus = InputsIn(QStringLiteral(PACKET_PARSER_CORPUS));
    ASSERT_FALSE(corpus.isEmpty()) << "no corpus in " PACKET_PARSER_CORPUS;
    for (const QString& path : corpus + InputsIn(QStringLiteral(PACKET_PARSER_CRASHES))) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray bytes = file.readAll();
        CheckPacketParser(reinterpret_cast<const uint8_t*>(bytes.constData()),
                          static_cast<size_t>(bytes.size()));
    }
}

} // namespace
