#include "transfer/RemotePath.h"

#include "platform/ShellServices.h"

namespace zo {

RemoteSplit splitRemotePath(const QString& remotePrefix, const QString& name)
{
    const QString joined = remotePrefix + name;
    const qsizetype cut =
        std::max(joined.lastIndexOf(QLatin1Char('\\')), joined.lastIndexOf(QLatin1Char(':')));
    RemoteSplit split;
    split.folder = joined.left(cut + 1);
    split.folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    split.file = joined.mid(cut + 1);
    return split;
}

QString remoteDownloadPath(const QString& remotePrefix, const QString& name)
{
    QString path = remotePrefix + name;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

QString localPathOf(const QString& localDir, const QString& name)
{
    QString relative = name;
    relative.replace(QLatin1Char('\\'), localSeparator());
    return localDir + relative;
}

} // namespace zo
