#include "releases/LocalFiles.h"

#include "platform/ShellServices.h"
#include "platform/Wildcard.h"

#include <QDirIterator>
#include <QFileInfo>

namespace zo {

LocalPattern splitLocalPattern(const QString& pattern)
{
    const qsizetype cut =
        std::max(pattern.lastIndexOf(QLatin1Char('/')), pattern.lastIndexOf(localSeparator()));
    if (cut < 0)
        return {QString(), pattern};
    return {pattern.left(cut + 1), pattern.mid(cut + 1)};
}

QStringList listLocalFiles(const QString& pattern)
{
    const LocalPattern parts = splitLocalPattern(pattern);
    QStringList names;
    if (parts.folder.isEmpty() || !QFileInfo(parts.folder).isDir())
        return names;
    QDirIterator entries(parts.folder,
                         QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        const QFileInfo entry(entries.next());
        if (entry.isDir())
            continue;
        if (matchesMask(entry.fileName(), parts.mask))
            names << entry.fileName();
    }
    return names;
}

void ListLocalFiles(const QString& pattern, QStringList& names)
{
    names << listLocalFiles(pattern);
}

} // namespace zo
