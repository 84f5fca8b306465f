#pragma once

#include "transfer/DeviceBatches.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace zo {

// The per-instrument folders below the data folder, named after the address as typed.
QString deviceFolder(const QString& dataDir, const QString& address);
QString screenDumpFolder(const QString& dataDir, const QString& address);

// Why an address cannot name a folder below the data folder (it would leave it, or is no
// folder name); empty when it can.
QString addressFolderProblem(const QString& address);
// The message that refuses to keep an address's files locally: there is no data folder, or the
// address names no folder below it; empty when its folders can be used.
QString deviceFolderRefusal(const QString& dataDir, const QString& address);

// Screen dumps
inline const QString kScreenDumpPattern = QStringLiteral("screendumps/*.bmp");
inline const QString kScreenDumpPrefix = QStringLiteral("screendumps\\");
inline const QString kScreenDumpMask = QStringLiteral("*.bmp");
// Lists the instrument's screen dumps and, while still busy, downloads them all into the folder
// that folderNow() names once the listing is done; an empty folder fetches nothing.
BatchResult fetchAllScreenDumps(DeviceBatches& batches, const std::function<QString()>& folderNow,
                                const std::function<bool()>& stillBusy);
// Deletes every screen dump the instrument lists.
BatchResult deleteAllScreenDumps(DeviceBatches& batches);

// Reports: the subfolders of "reports".
inline const QString kReportsPattern = QStringLiteral("reports/*");
QStringList listReports(DeviceBatches& batches, BatchResult* result = nullptr);

// Test patterns: the folder under "patterns" for each item of the video standard bar.
struct PatternFolder
{
    int tag;
    QString folder;
    int itemIndex;
};
const QList<PatternFolder>& patternFolders();
std::optional<PatternFolder> patternFolderForTag(int tag);
std::optional<PatternFolder> patternFolderNamed(const QString& folder);
inline const QString kPatternsPrefix = QStringLiteral("patterns/");
QStringList listPatterns(DeviceBatches& batches, const QString& folder,
                         BatchResult* result = nullptr);
// Uploads local files into a standard's folder on the instrument, one batch per local folder;
// a pattern of the same name is replaced only once the new one has fully arrived.
BatchResult uploadPatterns(DeviceBatches& batches, const QStringList& localPaths,
                           const QString& folder);

// Manufacturing
inline const QString kRecoveryPrefix = QStringLiteral("factoryapp\\");
const QStringList& recoveryFiles();
inline const QString kConfigFileName = QStringLiteral("system.cfg");
inline const QString kConfigPrefix = QStringLiteral("\\");
BatchResult deleteRecoveryFiles(DeviceBatches& batches);
BatchResult getConfigFile(DeviceBatches& batches, const QString& deviceDir);
// Sends the local copy; the instrument keeps its old file until the new one has arrived.
BatchResult putConfigFile(DeviceBatches& batches, const QString& deviceDir);

} // namespace zo
