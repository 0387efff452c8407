#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace tv {

// Files the editor's "Open" and a dropped file bring into the rich text:
// Rich Text Format through our reader, text as UTF-8 (or UTF-16 with its byte
// order mark; Latin-1 when it is not valid UTF-8). Word files and anything
// else that is no text are refused with a message, and the document is left
// as it was.
struct FileLoad {
    bool loaded = false;
    QString message; // why it was not loaded, or what was wrong with a file that was
};

inline constexpr qint64 kMaxMessageFileBytes = 64LL * 1024 * 1024;

FileLoad loadMessageFile(const QString& path, QTextDocument* document);

// The same for bytes already read; `name` gives the extension.
FileLoad loadMessageBytes(const QByteArray& data, const QString& name, QTextDocument* document);

// Text from a file's bytes: UTF-8, UTF-16 with a byte order mark, else Latin-1.
QString decodeText(const QByteArray& data);

} // namespace tv
