#include "PasswordHash.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

#include <array>
#include <optional>

namespace {

const QString kScheme = QStringLiteral("pbkdf2-sha256");
const QChar kSeparator = u'$';

// About 0.2 s for one check on a production-line PC.
constexpr int kIterations = 100000;
constexpr qsizetype kSaltBytes = 16;
constexpr qsizetype kHashBytes = 32;

// What a stored hash may ask for: enough to check published test vectors, not so much that a
// damaged settings file hangs the window.
constexpr int kMaxIterations = 10000000;
constexpr qsizetype kMinStoredBytes = 16;
constexpr qsizetype kMaxStoredBytes = 64;

struct StoredHash
{
    int iterations = 0;
    QByteArray salt;
    QByteArray hash;
};

QByteArray Derive(const QString& password, const QByteArray& salt, int iterations, qsizetype length)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt,
                                              iterations, static_cast<quint64>(length));
}

std::optional<QByteArray> DecodeBase64(const QString& text)
{
    const auto decoded =
        QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || text.isEmpty())
        return std::nullopt;
    return *decoded;
}

std::optional<StoredHash> ParseStoredHash(const QString& stored)
{
    const QStringList parts = stored.split(kSeparator);
    if (parts.size() != 4 || parts[0] != kScheme)
        return std::nullopt;
    StoredHash parsed;
    bool isNumber = false;
    parsed.iterations = parts[1].toInt(&isNumber);
    if (!isNumber || parsed.iterations < 1 || parsed.iterations > kMaxIterations)
        return std::nullopt;
    const auto salt = DecodeBase64(parts[2]);
    const auto hash = DecodeBase64(parts[3]);
    if (!salt || !hash || hash->size() < kMinStoredBytes || hash->size() > kMaxStoredBytes)
        return std::nullopt;
    parsed.salt = *salt;
    parsed.hash = *hash;
    return parsed;
}

// Looks at every byte whatever the first difference is, so the time tells nothing.
bool EqualInConstantTime(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

} // namespace

QString HashPassword(const QString& password)
{
    std::array<quint32, kSaltBytes / sizeof(quint32)> words;
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    const QByteArray salt(reinterpret_cast<const char*>(words.data()), kSaltBytes);
    const QByteArray hash = Derive(password, salt, kIterations, kHashBytes);
    return QStringList{kScheme, QString::number(kIterations), QString::fromLatin1(salt.toBase64()),
                       QString::fromLatin1(hash.toBase64())}
        .join(kSeparator);
}

bool IsPasswordHash(const QString& stored)
{
    return ParseStoredHash(stored).has_value();
}

bool PasswordMatches(const QString& password, const QString& stored)
{
    const auto parsed = ParseStoredHash(stored);
    if (!parsed)
        return false;
    return EqualInConstantTime(
        Derive(password, parsed->salt, parsed->iterations, parsed->hash.size()), parsed->hash);
}
