#include "clock_files.h"

#include "core/paths.h"

#include <QDir>
#include <QFileInfo>

namespace tv::clocks {

QString folder() {
    return QDir(paths::programFolder()).filePath(QStringLiteral("files/clock"));
}

QStringList files(const QString& folder) {
    QDir dir(folder);
    dir.setFilter(QDir::Files | QDir::Readable);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    // A missing folder lists nothing; DIAL.SVG is a dial as much as dial.svg.
    QStringList names;
    for (const QFileInfo& f : dir.entryInfoList()) {
        const QString suffix = f.suffix().toLower();
        if (suffix == QStringLiteral("svg") || suffix == QStringLiteral("swf"))
            names.append(f.fileName());
    }
    return names;
}

QString pathOf(const QString& name, const QString& folder) {
    if (name.isEmpty() || QFileInfo(name).isAbsolute()) return name;
    return QDir(folder).filePath(name);
}

} // namespace tv::clocks
