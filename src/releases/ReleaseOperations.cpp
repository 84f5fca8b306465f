#include "releases/ReleaseOperations.h"

#include "platform/ShellServices.h"
#include "platform/ZipBuilder.h"
#include "releases/LocalFiles.h"
#include "releases/Manifest.h"
#include "releases/ReleaseTexts.h"

#include <QDir>
#include <QFile>

namespace zo {
namespace {

// a manifest is a few lines: a body far larger is no manifest, and is not kept or read
constexpr qint64 kManifestSizeLimit = 64 * 1024;

} // namespace

QString MakeTempDir()
{
    return withTrailingSeparator(temporaryFolder()) + QStringLiteral("CorvaneFtp") +
           QString::number(currentThreadNumber()) + localSeparator();
}

void ClearLocalDir(const QString& dir)
{
    QStringList names;
    ListLocalFiles(dir + QStringLiteral("*.*"), names);
    for (const QString& name : names)
        QFile::remove(dir + name);
    QDir().rmdir(dir);
}

QStringList releaseNames(const QString& softwareFolder)
{
    return listLocalFiles(softwareFolder + texts::kReleasePattern);
}

ManifestRead fetchManifest(DeviceBatches& batches, const QString& tempDir)
{
    ManifestRead read;
    read.path = tempDir + kManifestFileName;
    // a failed fetch must never fall back on a manifest from an earlier one
    QFile::remove(read.path);
    batches.DownloadHttp(manifestUrl(), tempDir, ReportWhen::Always, kManifestSizeLimit);

    QFile manifest(read.path);
    if (!manifest.open(QIODevice::ReadOnly)) {
        read.openError = manifest.errorString();
        return read;
    }
    read.opened = true;
    read.value = manifestValue(manifest.readAll(), kManifestKey);
    return read;
}

QString fetchReleaseArchive(DeviceBatches& batches, const QString& value,
                            const QString& softwareFolder, BatchResult* result)
{
    const QString url = archiveUrlFromValue(value);
    const BatchResult outcome = batches.DownloadHttp(url, softwareFolder, ReportWhen::WhileBusy);
    if (result)
        *result = outcome;
    return archiveNameOf(url);
}

BatchResult installRelease(DeviceBatches& batches, ZipBuilder& zip, const QString& archivePath,
                           const InstallSteps& steps)
{
    const QString tempDir = MakeTempDir();
    ClearLocalDir(tempDir);
    QDir().mkdir(tempDir);
    zip.FileName = archivePath;
    zip.ExtrBaseDir = tempDir;
    steps.beforeExtract();
    zip.Extract();
    steps.afterExtract();

    BatchResult result;
    // part of a damaged archive is no release: the instrument keeps the files it has
    if (zip.extractFailed()) {
        result.failed = 1;
        ClearLocalDir(tempDir);
        return result;
    }
    QStringList names;
    ListLocalFiles(tempDir + QStringLiteral("*.*"), names);
    // after a cancel nothing on the instrument is deleted: its old files stay usable
    if (steps.stillBusy()) {
        // a file the instrument does not have yet cannot be deleted, and need not be
        const BatchResult deleted = batches.DeleteRemoteFiles(kSetupDeletePrefix, names);
        result.unreachable = deleted.unreachable;
        result.refused = deleted.refused;
    }
    // each file takes its name only once whole: a cancel never leaves a truncated one there
    if (steps.stillBusy() && !result.refused)
        result += batches.ReplaceRemoteFiles(tempDir, kSetupUploadPrefix, names);
    if (steps.stillBusy() && result.succeeded())
        steps.afterUpload();
    ClearLocalDir(tempDir);
    return result;
}

} // namespace zo
