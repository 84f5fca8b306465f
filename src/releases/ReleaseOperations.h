#pragma once

#include "transfer/DeviceBatches.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace zo {

class ZipBuilder;

// The private temporary folder: the platform's temporary folder, "CorvaneFtp" and the calling
// thread's number, ending with a separator. Only builds the path.
QString MakeTempDir();

// Deletes every file directly in the folder, then the folder; failures are ignored.
void ClearLocalDir(const QString& dir);

// The release archives of the software folder, by name.
QStringList releaseNames(const QString& softwareFolder);

// Fetching the latest release: the manifest, then the archive it names.
struct ManifestRead
{
    bool opened = false;
    QString path;
    QString openError; // why the manifest could not be opened
    QString value;     // the value of "DownloadFile", empty when missing
};
// Removes an earlier manifest, downloads the manifest into tempDir (always reported) and reads it.
ManifestRead fetchManifest(DeviceBatches& batches, const QString& tempDir);
// Downloads the archive the value names into the software folder; failures are reported only
// while the host is busy. Returns the archive's name.
QString fetchReleaseArchive(DeviceBatches& batches, const QString& value,
                            const QString& softwareFolder, BatchResult* result = nullptr);

// Installing a release on the instrument: extract into the temporary folder, delete the
// instrument's copies in "setup", upload the extracted files there. The result is the upload's
// (deleting a file the instrument lacks is no failure); an extraction that failed leaves the
// instrument untouched and counts as one failure.
struct InstallSteps
{
    std::function<bool()> stillBusy;     // false once the user has cancelled
    std::function<void()> beforeExtract; // status "Extracting ZIP", progress bar on
    std::function<void()> afterExtract;  // progress bar off
    std::function<void()> afterUpload;   // status "Upload Completed": still busy, all arrived
};
BatchResult installRelease(DeviceBatches& batches, ZipBuilder& zip, const QString& archivePath,
                           const InstallSteps& steps);

inline const QString kSetupDeletePrefix = QStringLiteral("setup\\");
inline const QString kSetupUploadPrefix = QStringLiteral("\\setup\\");

} // namespace zo
