#pragma once

#include <QString>

namespace zo {

// A remote prefix ("screendumps\", "\setup\", "\") joined with a name that may carry
// backslash-separated folders, split into the remote folder in "/" form and the file name.
struct RemoteSplit
{
    QString folder; // up to and including the last separator, "/" form; empty for none
    QString file;
};
RemoteSplit splitRemotePath(const QString& remotePrefix, const QString& name);

// The remote path of a download: prefix and name joined, every backslash turned into "/".
QString remoteDownloadPath(const QString& remotePrefix, const QString& name);

// A name as a local path below a folder: backslash-separated folders in the platform's form.
QString localPathOf(const QString& localDir, const QString& name);

} // namespace zo
