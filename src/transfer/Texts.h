#pragma once

#include <QString>

// The texts that batches and their progress show, in one place.
namespace zo::texts {

inline const QString kFailedHttpDownload = QStringLiteral("Failed HTTP download: ");
inline const QString kFailedFtpDownload = QStringLiteral("Failed FTP download: ");
inline const QString kFailedFtpUpload = QStringLiteral("Failed FTP upload: ");

inline const QString kFileCounter = QStringLiteral("%1 File %2 of %3: ");
inline const QString kDirectory = QStringLiteral("Directory");
inline const QString kAborted = QStringLiteral("ABORTED!");
inline const QString kWordHttp = QStringLiteral("GetHTTP");
inline const QString kWordDownload = QStringLiteral("Download");
inline const QString kWordUpload = QStringLiteral("Upload");
inline const QString kWordDelete = QStringLiteral("Delete");

inline const QString kCaptionDeleting = QStringLiteral("Deleting");
inline const QString kCaptionDownloading = QStringLiteral("Downloading");

inline const QString kCouldNotConnect = QStringLiteral("Could not connect to Zo");

inline const QString kRefusedWhileRunning =
    QStringLiteral("Another transfer is still running: wait for it to finish, or cancel it, "
                   "then try again");
inline const QString kUnsafeRemoteName =
    QStringLiteral("Skipped a name the instrument listed that cannot be a local file name: %1");

} // namespace zo::texts
