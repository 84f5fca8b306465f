#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>

namespace zo {

// Extracts zip archives. Every file of the archive is written straight into ExtrBaseDir by its
// bare name (the archive's folders are not made), replacing a file of that name; the folder is
// created when missing. Entries whose name cannot be a file name here, and symbolic links, are
// skipped. Extraction runs on a worker thread while Extract() keeps the caller's event loop
// turning.
class ZipBuilder : public QObject
{
    Q_OBJECT

public:
    enum ExtrOption
    {
        ExtrDirNames = 0x01,
        ExtrOverWrite = 0x02,
        ExtrFreshen = 0x04,
        ExtrUpdate = 0x08,
        ExtrForceDirs = 0x10,
    };

    explicit ZipBuilder(QObject* parent = nullptr);
    ~ZipBuilder() override;

    QString FileName;
    QString ExtrBaseDir;
    int ExtrOptions = ExtrOverWrite | ExtrFreshen | ExtrUpdate | ExtrForceDirs;

    // Extracts every entry; returns the number of files written. Failures (a missing or corrupt
    // archive, a folder that cannot be made or written) go to the error reporter, then it
    // returns normally.
    int Extract();
    // Stops a running extraction after the file it is writing.
    void Cancel();
    bool isExtracting() const { return m_extracting; }
    // Whether the last Extract() reported a failure: the folder may hold only part of the archive.
    bool extractFailed() const { return m_failed; }

    // Where failures are told; the window shows an error box, the command line writes stderr.
    using ErrorReporter = std::function<void(const QString&)>;
    void setErrorReporter(ErrorReporter reporter) { m_reportError = std::move(reporter); }

Q_SIGNALS:
    // PerCent runs from 0 to 100 while extracting, then 101 once with TotalSize 0.
    void OnTotalProgress(qint64 TotalSize, int PerCent);

private:
    ErrorReporter m_reportError;
    std::atomic_bool m_cancel{false};
    bool m_extracting = false;
    bool m_failed = false;
};

} // namespace zo
