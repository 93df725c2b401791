#include "PasswordHash.h"

#include <QByteArray>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

QString Stored(int iterations, const QByteArray& salt, const QByteArray& hash)
{
    return QStringLiteral("pbkdf2-sha256$%1$%2$%3")
        .arg(iterations)
        .arg(QString::fromLatin1(salt.toBase64()), QString::fromLatin1(hash.toBase64()));
}

// PBKDF2-HMAC-SHA256 vectors published in RFC 7914, section 11.
TEST(PasswordHash, MatchesPublishedVectors)
{
    struct Vector
    {
        QString password;
        QByteArray salt;
        int iterations;
        QByteArray hex;
    };
    const Vector vectors[] = {
        {"passwd", "salt", 1,
         "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
         "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783"},
        {"Password", "NaCl", 80000,
         "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"
         "a1d425a1225833549adb841b51c9b3176a272bdebba1d078478f62b397f33c8d"},
    };
    for (const auto& vector : vectors) {
        const QString stored =
            Stored(vector.iterations, vector.salt, QByteArray::fromHex(vector.hex));
        EXPECT_TRUE(PasswordMatches(vector.password, stored)) << vector.password.toStdString();
        EXPECT_FALSE(PasswordMatches(vector.password + u'!', stored));
    }
}

TEST(PasswordHash, HashesAreSaltedAndCheckOnlyTheirPassword)
{
    const QString password = QStringLiteral("Grüne Linie 7");
    const QString stored = HashPassword(password);
    EXPECT_TRUE(stored.startsWith(QStringLiteral("pbkdf2-sha256$")));
    EXPECT_FALSE(stored.contains(password));
    EXPECT_TRUE(PasswordMatches(password, stored));
    for (const QString& wrong :
         {QStringLiteral("grüne Linie 7"), QStringLiteral("Grüne Linie"), QString()})
        EXPECT_FALSE(PasswordMatches(wrong, stored)) << wrong.toStdString();
    EXPECT_NE(HashPassword(password), stored);
}

TEST(PasswordHash, RefusesMalformedStoredHashes)
{
    const QString password = QStringLiteral("passwd");
    const QByteArray hash =
        QByteArray::fromHex("55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
                            "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783");
    const QString good = Stored(1, "salt", hash);
    ASSERT_TRUE(IsPasswordHash(good));
    const QString malformed[] = {
        QString(),
        QStringLiteral("passwd"),
        QString(good).replace(QStringLiteral("pbkdf2-sha256"), QStringLiteral("pbkdf2-sha1")),
        good + QStringLiteral("$"),
        good.section(u'$', 0, 2),
        Stored(0, "salt", hash),
        Stored(-1, "salt", hash),
        Stored(20000000, "salt", hash),
        QStringLiteral("pbkdf2-sha256$1x$c2FsdA==$") + QString::fromLatin1(hash.toBase64()),
        Stored(1, "", hash),
        Stored(1, "salt", hash.left(8)),
        Stored(1, "salt", hash + hash),
        QStringLiteral("pbkdf2-sha256$1$c2F*dA==$") + QString::fromLatin1(hash.toBase64()),
    };
    for (const QString& stored : malformed) {
        EXPECT_FALSE(IsPasswordHash(stored)) << stored.toStdString();
        EXPECT_FALSE(PasswordMatches(password, stored)) << stored.toStdString();
    }
}

} // namespace
