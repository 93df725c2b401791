// Replays the packet parser's fuzz corpus (and any crash the fuzzer found) through the same
// checks the fuzz target makes.
#include "PacketParserCheck.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

TEST(PacketParserCorpusTest, EveryCorpusInputKeepsTheParserRules)
{
    const QDir corpus(QStringLiteral(PACKET_PARSER_CORPUS));
    const QStringList files = corpus.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty()) << "no corpus in " << corpus.path().toStdString();
    for (const QString& name : files) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        CheckPacketParser(reinterpret_cast<const uint8_t*>(bytes.constData()),
                          static_cast<size_t>(bytes.size()));
    }
}

} // namespace
