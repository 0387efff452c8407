#pragma once

#include <QString>

namespace tv {

// Passwords of users and counters are kept as salted Argon2id hashes, never as
// the text itself. Rows written before that still hold plain text; they are
// accepted until their next login rewrites them.

// A new salted hash of `plain` in the self-describing "$argon2id$..." form.
// The cost is the interactive one: a login must stay quick on a counter's PC.
QString hashPassword(const QString& plain);

// True when `stored` is one of our hashes rather than a legacy plain value.
bool isPasswordHash(const QString& stored);

// Whether `given` is the password `stored` stands for: a hash is verified, a
// legacy plain value must match exactly (letter case included).
bool verifyPassword(const QString& stored, const QString& given);

// A remembered login: a random token (256 bits) a station keeps in its
// settings file instead of any password or hash. The database keeps only its
// digest, which cannot be turned back into the token.
QString newLoginToken();
bool isLoginToken(const QString& text);
// The digest the database keeps of a token (hex SHA-256; the token is random,
// so a fast digest is enough).
QString loginTokenDigest(const QString& token);

} // namespace tv
