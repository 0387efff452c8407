#include "message_files.h"

#include "rtf_reader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>

namespace tv {

namespace {

const QString wordFile = QStringLiteral(
    "Word documents cannot be read here. Save the document in Word as Rich Text Format (.rtf) "
    "or as text (.txt) and open that file.");

bool isWordFile(const QByteArray& data, const QString& suffix) {
    // Word 97-2003 files are compound files; .docx and .odt are zip archives.
    return data.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") || data.startsWith("PK\x03\x04") ||
           suffix == u"doc" || suffix == u"docx" || suffix == u"odt";
}

} // namespace

QString decodeText(const QByteArray& data) {
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(data.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                         : QStringDecoder::Utf16BE);
        return utf16.decode(QByteArrayView(data).sliced(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (utf8.hasError()) return QString::fromLatin1(data);
    if (text.startsWith(QChar::ByteOrderMark)) text.remove(0, 1);
    return text;
}

FileLoad loadMessageBytes(const QByteArray& data, const QString& name, QTextDocument* document) {
    const QString suffix = QFileInfo(name).suffix().toLower();
    const bool text = suffix == u"txt";
    // An RTF file keeps its format whatever it is called (Word saved RTF
    // under .doc for years); only a .txt file is always text.
    if (!text && (suffix == u"rtf" || rtf::looksLikeRtf(data))) {
        const rtf::ReadResult r = rtf::read(data, document);
        if (!r.ok) return {false, r.error};
        return {true, r.warning};
    }
    if (!text && isWordFile(data, suffix)) return {false, wordFile};
    const bool utf16 = data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF");
    if (!utf16 && data.contains('\0'))
        return {false, QStringLiteral("This file holds no text that can be read here.")};
    document->setPlainText(decodeText(data));
    return {true, {}};
}

FileLoad loadMessageFile(const QString& path, QTextDocument* document) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {false, QStringLiteral("The file cannot be opened: ") + f.errorString()};
    if (f.size() > kMaxMessageFileBytes)
        return {false, QStringLiteral("The file is too large for a message (%1 MB; at most %2 MB).")
                           .arg(f.size() / (1024 * 1024))
                           .arg(kMaxMessageFileBytes / (1024 * 1024))};
    return loadMessageBytes(f.readAll(), path, document);
}

} // namespace tv
