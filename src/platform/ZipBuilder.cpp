#include "platform/ZipBuilder.h"

#include "platform/JobThread.h"
#include "platform/SafeFile.h"
#include "platform/ShellServices.h"
#include "platform/WorkerWait.h"

#include <QFile>
#include <QPointer>
#include <limits>
#include <memory>
#include <zip.h>

namespace zo {
namespace {

constexpr qint64 kChunkSize = 256 * 1024;
constexpr int kFinishedPercent = 101;
constexpr qint64 kMaxTotal = std::numeric_limits<qint64>::max();
constexpr unsigned kUnixFileTypeMask = 0170000;
constexpr unsigned kUnixSymbolicLink = 0120000;

struct ArchiveCloser
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser
{
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;

QByteArray archivePath(const QString& fileName)
{
#ifdef Q_OS_WIN
    return fileName.toUtf8();
#else
    return QFile::encodeName(fileName);
#endif
}

QString zipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

bool isSymbolicLink(zip_t* archive, zip_uint64_t index)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0)
        return false;
    return system == ZIP_OPSYS_UNIX &&
           ((attributes >> 16) & kUnixFileTypeMask) == kUnixSymbolicLink;
}

// The bare name an entry is written under: what follows its last folder separator.
QString baseNameOf(const char* entryName)
{
    const QString name = QString::fromUtf8(entryName);
    return name.mid(
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))) + 1);
}

struct Extraction
{
    QString fileName;
    QString folder;
    bool createFolder = true;
    const std::atomic_bool* cancel = nullptr;
    std::function<void(qint64, int)> progress;

    int written = 0;
    QStringList errors;

    void run();
    bool writeEntry(zip_t* archive, zip_uint64_t index, const QString& target, qint64& done,
                    qint64 total);
};

void Extraction::run()
{
    int openError = 0;
    const Archive archive(
        zip_open(archivePath(fileName).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &openError));
    if (!archive) {
        errors << QStringLiteral("Cannot open the archive %1: %2")
                      .arg(fileName, zipErrorText(openError));
        return;
    }
    if (createFolder)
        createFolderPath(folder);
    const QString target = withTrailingSeparator(folder);

    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    qint64 total = 0;
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        // the sizes are what the archive claims: their sum saturates rather than overflows
        if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(index), 0, &stat) == 0 &&
            (stat.valid & ZIP_STAT_SIZE))
            total += static_cast<qint64>(
                std::min(stat.size, static_cast<zip_uint64_t>(kMaxTotal - total)));
    }
    progress(total, 0);

    qint64 done = 0;
    for (zip_int64_t index = 0; index < count && !cancel->load(); ++index) {
        const auto entryIndex = static_cast<zip_uint64_t>(index);
        const char* entryName = zip_get_name(archive.get(), entryIndex, 0);
        if (!entryName)
            continue;
        // folders are not made, links are not followed, names that could leave the folder
        // are not written
        const QString name = baseNameOf(entryName);
        if (!isSafeLocalName(name) || isSymbolicLink(archive.get(), entryIndex))
            continue;
        if (!writeEntry(archive.get(), entryIndex, target + name, done, total))
            return;
        ++written;
    }
}

bool Extraction::writeEntry(zip_t* archive, zip_uint64_t index, const QString& target, qint64& done,
                            qint64 total)
{
    const Entry entry(zip_fopen_index(archive, index, 0));
    if (!entry) {
        errors << QStringLiteral("Cannot read %1 from the archive %2: %3")
                      .arg(QString::fromUtf8(zip_get_name(archive, index, 0)), fileName,
                           QString::fromUtf8(zip_strerror(archive)));
        return false;
    }
    SafeFile file(target);
    if (!file.open()) {
        errors << QStringLiteral("Cannot write %1: %2").arg(target, file.errorString());
        return false;
    }
    QByteArray chunk(kChunkSize, Qt::Uninitialized);
    for (;;) {
        if (cancel->load()) {
            file.cancel();
            return false;
        }
        const zip_int64_t read = zip_fread(entry.get(), chunk.data(), kChunkSize);
        if (read < 0) {
            errors << QStringLiteral("The archive %1 is damaged: %2")
                          .arg(fileName, QString::fromUtf8(zip_file_strerror(entry.get())));
            file.cancel();
            return false;
        }
        if (read == 0)
            break;
        if (!file.write(chunk.constData(), read)) {
            errors << QStringLiteral("Cannot write %1: %2").arg(target, file.errorString());
            file.cancel();
            return false;
        }
        done += read;
        // an archive that understates its sizes must not push the share past 100
        progress(total,
                 total > 0 ? static_cast<int>(std::min<qint64>(done * 100 / total, 100)) : 100);
    }
    if (!file.commit()) {
        errors << QStringLiteral("Cannot write %1: %2").arg(target, file.errorString());
        return false;
    }
    return true;
}

} // namespace

ZipBuilder::ZipBuilder(QObject* parent) : QObject(parent) {}

ZipBuilder::~ZipBuilder() = default;

void ZipBuilder::Cancel()
{
    if (m_extracting)
        m_cancel = true;
}

int ZipBuilder::Extract()
{
    if (m_extracting)
        return 0;
    m_extracting = true;
    m_cancel = false;

    auto extraction = std::make_shared<Extraction>();
    extraction->fileName = FileName;
    extraction->folder = ExtrBaseDir;
    extraction->createFolder = (ExtrOptions & ExtrForceDirs) != 0;
    extraction->cancel = &m_cancel;

    // the window needs the latest share done, not every chunk's
    extraction->progress = latestOnThreadOf<qint64, int>(
        this, [self = QPointer<ZipBuilder>(this)](qint64 total, int percent) {
            if (self)
                Q_EMIT self->OnTotalProgress(total, percent);
        });

    {
        JobThread worker;
        if (!runAndWait(this, worker, [extraction] { extraction->run(); }))
            m_cancel = true; // the application is closing
    }

    m_failed = !extraction->errors.isEmpty();
    for (const QString& error : extraction->errors) {
        if (m_reportError)
            m_reportError(error);
    }
    m_extracting = false;
    Q_EMIT OnTotalProgress(0, kFinishedPercent);
    return extraction->written;
}

} // namespace zo
