#pragma once

#include <QString>

// The texts of the Software Update page, in one place.
namespace zo::texts {

inline const QString kReleasePattern = QStringLiteral("release*.zip");
inline const QString kConfirmDeleteRelease =
    QStringLiteral("Are you sure you want to delete this software release");
inline const QString kNoNewVersion = QStringLiteral("New software version not found");
inline const QString kDownloadCompleted = QStringLiteral("Download Completed");
inline const QString kCannotOpenFile = QStringLiteral("Cannot open file \"%1\". %2");
inline const QString kExtractingZip = QStringLiteral("Extracting ZIP");
inline const QString kUploadCompleted = QStringLiteral("Upload Completed");
inline const QString kCaptionCopyToZoDesigned = QStringLiteral("Copy to Zo");
inline const QString kCaptionCopyToZo = QStringLiteral("Copy To Zo");
inline const QString kCaptionCancel = QStringLiteral("Cancel");
inline const QString kNoSoftwareFolder =
    QStringLiteral("No Documents folder was found to keep the software releases in.");

} // namespace zo::texts
