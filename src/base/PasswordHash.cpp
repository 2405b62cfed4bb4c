#include "base/PasswordHash.h"
#include "base/Error.h"

#include <sodium.h>

namespace qo {

namespace {

void ensureSodium()
{
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw Error(QStringLiteral("A jelszókezelő könyvtár nem indítható."));
}

} // namespace

QString HashPassword(const QString &password)
{
    ensureSodium();
    const QByteArray pw = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, pw.constData(), static_cast<unsigned long long>(pw.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw Error(QStringLiteral("Nincs elég memória a jelszó titkosításához."));
    return QString::fromLatin1(out);
}

bool IsPasswordHash(const QString &stored)
{
    // Plain passwords of older databases are at most 10 characters long.
    return stored.size() > 10
        && (stored.startsWith(QLatin1String("$argon2id$")) || stored.startsWith(QLatin1String("$argon2i$")));
}

bool VerifyPassword(const QString &stored, const QString &password)
{
    if (!IsPasswordHash(stored))
        return false;
    ensureSodium();
    const QByteArray hash = stored.toLatin1();
    if (hash.size() >= crypto_pwhash_STRBYTES)
        return false;
    const QByteArray pw = password.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), pw.constData(), static_cast<unsigned long long>(pw.size())) == 0;
}

} // namespace qo
