#include "pages/PageOperations.h"

#include "pages/PageTexts.h"
#include "platform/ShellServices.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

namespace zo {

QString deviceFolder(const QString& dataDir, const QString& address)
{
    return dataDir + address + localSeparator();
}

QString screenDumpFolder(const QString& dataDir, const QString& address)
{
    return deviceFolder(dataDir, address) + QStringLiteral("ScreenDumps") + localSeparator();
}

QString addressFolderProblem(const QString& address)
{
    if (address == QStringLiteral(".") || address == QStringLiteral(".."))
        return texts::kAddressIsDots;
    for (const QChar c : address) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == localSeparator() ||
            c.category() == QChar::Other_Control)
            return texts::kAddressHasSeparator;
    }
    return {};
}

QString deviceFolderRefusal(const QString& dataDir, const QString& address)
{
    // without a data folder the paths would fall in whatever folder the program started in
    if (dataDir.isEmpty())
        return texts::kNoDataFolder;
    const QString problem = addressFolderProblem(address);
    return problem.isEmpty() ? QString() : texts::kAddressNotAFolder.arg(address, problem);
}

BatchResult fetchAllScreenDumps(DeviceBatches& batches, const std::function<QString()>& folderNow,
                                const std::function<bool()>& stillBusy)
{
    QStringList names;
    QList<qint64> sizes;
    BatchResult result = batches.ListRemoteFiles(kScreenDumpPattern, names, false, &sizes);
    if (!stillBusy())
        return result;
    const QString folder = folderNow();
    // the sizes just listed spare a question to the instrument per file
    if (!folder.isEmpty())
        result += batches.TransferFiles(folder, kScreenDumpPrefix, names, false, sizes);
    return result;
}

BatchResult deleteAllScreenDumps(DeviceBatches& batches)
{
    QStringList names;
    BatchResult result = batches.ListRemoteFiles(kScreenDumpPattern, names, false);
    result += batches.DeleteRemoteFiles(kScreenDumpPrefix, names);
    return result;
}

QStringList listReports(DeviceBatches& batches, BatchResult* result)
{
    QStringList names;
    const BatchResult outcome = batches.ListRemoteFiles(kReportsPattern, names, true);
    if (result)
        *result = outcome;
    return names;
}

const QList<PatternFolder>& patternFolders()
{
    static const QList<PatternFolder> folders = {
        {0, QStringLiteral("PALyuv"), 0},  {1, QStringLiteral("NTSCyuv"), 1},
        {2, QStringLiteral("720yuv"), 0},  {3, QStringLiteral("720rgb"), 1},
        {4, QStringLiteral("1035yuv"), 0}, {5, QStringLiteral("1080yuv"), 0},
        {6, QStringLiteral("1080rgb"), 1},
    };
    return folders;
}

std::optional<PatternFolder> patternFolderForTag(int tag)
{
    for (const PatternFolder& entry : patternFolders()) {
        if (entry.tag == tag)
            return entry;
    }
    return std::nullopt;
}

std::optional<PatternFolder> patternFolderNamed(const QString& folder)
{
    for (const PatternFolder& entry : patternFolders()) {
        if (entry.folder.compare(folder, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return std::nullopt;
}

QStringList listPatterns(DeviceBatches& batches, const QString& folder, BatchResult* result)
{
    QStringList names;
    const BatchResult outcome = batches.ListRemoteFiles(kPatternsPrefix + folder, names, false);
    if (result)
        *result = outcome;
    return names;
}

BatchResult uploadPatterns(DeviceBatches& batches, const QStringList& localPaths,
                           const QString& folder)
{
    // files dropped together may come from several folders: one batch per folder, in order
    QMap<QString, QStringList> namesByFolder;
    QStringList folderOrder;
    for (const QString& path : localPaths) {
        const QFileInfo file(path);
        if (!file.isFile())
            continue;
        const QString localDir =
            withTrailingSeparator(QDir::toNativeSeparators(file.absolutePath()));
        if (!namesByFolder.contains(localDir))
            folderOrder << localDir;
        namesByFolder[localDir] << file.fileName();
    }
    const QString prefix = QStringLiteral("patterns\\") + folder + QStringLiteral("\\");
    BatchResult result;
    for (const QString& localDir : folderOrder)
        result += batches.ReplaceRemoteFiles(localDir, prefix, namesByFolder.value(localDir));
    return result;
}

const QStringList& recoveryFiles()
{
    static const QStringList names = {
        QStringLiteral("tsg"),
        QStringLiteral("check.txt"),
        QStringLiteral("check.md5"),
        QStringLiteral("CvZo.Dlg"),
        QStringLiteral("xilinx\\xilinx"),
        QStringLiteral("xilinx\\xilinx.bin"),
        QStringLiteral("xilinx\\newcpld"),
        QStringLiteral("xilinx\\cpld.xsvf"),
        QStringLiteral("xilinx\\cpld_00.xsvf"),
        QStringLiteral("xilinx\\cpld_01.xsvf"),
        QStringLiteral("xilinx\\cpld_02.xsvf"),
        QStringLiteral("xilinx\\fpga_00.bin"),
        QStringLiteral("xilinx\\fpga_01.bin"),
        QStringLiteral("xilinx\\fpga_02.bin"),
    };
    return names;
}

BatchResult deleteRecoveryFiles(DeviceBatches& batches)
{
    return batches.DeleteRemoteFiles(kRecoveryPrefix, recoveryFiles());
}

BatchResult getConfigFile(DeviceBatches& batches, const QString& deviceDir)
{
    return batches.TransferFiles(deviceDir, kConfigPrefix, {kConfigFileName}, false);
}

BatchResult putConfigFile(DeviceBatches& batches, const QString& deviceDir)
{
    return batches.ReplaceRemoteFiles(deviceDir, kConfigPrefix, {kConfigFileName});
}

} // namespace zo
