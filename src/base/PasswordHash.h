#pragma once
// Users' passwords as salted, slow hashes (Argon2id through libsodium), and
// the passwords of older databases that still hold them as plain text.
#include <QString>

namespace qo {

// The longest password the windows take.
constexpr int kMaxPasswordLength = 255;

// A new "$argon2id$..." text for the password (its UTF-8 bytes), with a fresh
// salt. Throws Error when the hash cannot be made (out of memory).
QString HashPassword(const QString &password);

// Whether the stored text is a hash made by HashPassword. Anything else is a
// password of an older database kept as plain text (those hold at most 10
// characters, so they can never pass for a hash).
bool IsPasswordHash(const QString &stored);

// Whether the password matches the stored hash. False for a text that is not a hash.
bool VerifyPassword(const QString &stored, const QString &password);

} // namespace qo
