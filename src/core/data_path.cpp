#include "data_path.h"

#include "paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace tv {

namespace {
// Splits one line into items the way a sequential reader does: commas separate
// items; an item in double quotes may hold commas.
QStringList items(const QString& line) {
    QStringList out;
    QString cur;
    bool quoted = false;
    bool wasQuoted = false;
    for (const QChar ch : line) {
        if (ch == u'"') {
            quoted = !quoted;
            wasQuoted = true;
        } else if (ch == u',' && !quoted) {
            out.append(wasQuoted ? cur : cur.trimmed());
            cur.clear();
            wasQuoted = false;
        } else {
            cur += ch;
        }
    }
    if (!cur.trimmed().isEmpty() || wasQuoted) out.append(wasQuoted ? cur : cur.trimmed());
    return out;
}
} // namespace

DataPath readDataPath(const QString& programFolder) {
    DataPath result;
    QFile f(QDir(programFolder).filePath(QStringLiteral("path.txt")));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        result.error = QStringLiteral("File not found: %1").arg(f.fileName());
        return result;
    }
    QTextStream in(&f);
    while (!in.atEnd()) {
        for (const QString& item : items(in.readLine())) {
            if (item.isEmpty()) continue;
            result.file = QDir::fromNativeSeparators(item);
            // The folder of the data file: where backups go.
            result.dataFolder = QFileInfo(result.file).path();
        }
    }
    if (in.status() != QTextStream::Ok) result.error = QStringLiteral("Input past end of file");
    return result;
}

QString embeddedDataFile(const QString& programFolder) {
    if (QFile::exists(QDir(programFolder).filePath(QStringLiteral("path.txt")))) {
        const DataPath p = readDataPath(programFolder);
        if (!p.file.isEmpty()) return QDir(programFolder).absoluteFilePath(p.file);
    }
    return paths::defaultDataFile();
}

} // namespace tv
