#include "password_hash.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <new>
#include <sodium.h>

namespace tv {

namespace {

const QString hashPrefix = QStringLiteral("$argon2id$");

// libsodium wants one sodium_init() before use; a function-local static makes
// that happen once even when two threads hash at the same time.
void ensureSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready) throw std::bad_alloc();
}

} // namespace

QString hashPassword(const QString& plain) {
    ensureSodium();
    const QByteArray bytes = plain.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    // The only failure libsodium reports here is not getting the memory.
    if (crypto_pwhash_str_alg(out, bytes.constData(), static_cast<unsigned long long>(bytes.size()),
                              crypto_pwhash_OPSLIMIT_INTERACTIVE,
                              crypto_pwhash_MEMLIMIT_INTERACTIVE,
                              crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw std::bad_alloc();
    return QString::fromLatin1(out);
}

namespace {
const QString tokenPrefix = QStringLiteral("tvt1.");
}

QString newLoginToken() {
    ensureSodium();
    unsigned char bytes[32];
    randombytes_buf(bytes, sizeof bytes);
    return tokenPrefix +
           QString::fromLatin1(
               QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes)
                   .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

bool isLoginToken(const QString& text) {
    return text.startsWith(tokenPrefix) && text.size() == tokenPrefix.size() + 43;
}

QString loginTokenDigest(const QString& token) {
    return QString::fromLatin1(
        QCryptographicHash::hash(token.toUtf8(), QCryptographicHash::Sha256).toHex());
}

bool isPasswordHash(const QString& stored) {
    return stored.startsWith(hashPrefix);
}

bool verifyPassword(const QString& stored, const QString& given) {
    if (!isPasswordHash(stored)) return stored == given;
    ensureSodium();
    const QByteArray hash = stored.toLatin1();
    if (hash.size() >= crypto_pwhash_STRBYTES) return false; // not one we wrote
    const QByteArray bytes = given.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), bytes.constData(),
                                    static_cast<unsigned long long>(bytes.size())) == 0;
}

} // namespace tv
