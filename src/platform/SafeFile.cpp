#include "platform/SafeFile.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace zo {
namespace {

std::filesystem::path nativePath(const QString& path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

bool flushToDisk(QFile& file)
{
#ifdef Q_OS_WIN
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()))) != 0;
#else
    return fdatasync(file.handle()) == 0;
#endif
}

} // namespace

SafeFile::SafeFile(QString path) : m_path(std::move(path)) {}

SafeFile::~SafeFile()
{
    cancel();
}

bool SafeFile::open()
{
    // a few tries, in case another writer picked the same temporary name
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString suffix = QString::number(QRandomGenerator::global()->generate(), 36);
        m_temporary.setFileName(m_path + QStringLiteral(".") + suffix + QStringLiteral(".part"));
        if (m_temporary.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            m_open = true;
            return true;
        }
    }
    m_error = m_temporary.errorString();
    return false;
}

bool SafeFile::writeThrough(const char* data, qint64 size)
{
    if (m_temporary.write(data, size) == size)
        return true;
    m_error = m_temporary.errorString();
    return false;
}

bool SafeFile::flushPending()
{
    if (m_pending.isEmpty())
        return true;
    const bool written = writeThrough(m_pending.constData(), m_pending.size());
    // resize, not clear: the block's memory is used again for the next one
    m_pending.resize(0);
    return written;
}

bool SafeFile::write(const char* data, qint64 size)
{
    if (!m_open)
        return false;
    if (m_pending.size() + size > kWriteBlock && !flushPending())
        return false;
    if (size >= kWriteBlock)
        return writeThrough(data, size);
    m_pending.append(data, static_cast<qsizetype>(size));
    return true;
}

bool SafeFile::commit()
{
    if (!m_open)
        return false;
    if (!flushPending()) {
        cancel();
        return false;
    }
    const bool replacing = QFileInfo::exists(m_path);
    if (replacing && !flushToDisk(m_temporary)) {
        m_error = QStringLiteral("the new copy could not be written to disk");
        cancel();
        return false;
    }
    m_temporary.close();
    m_open = false;
    std::error_code failure;
    std::filesystem::rename(nativePath(m_temporary.fileName()), nativePath(m_path), failure);
    if (failure) {
        m_error = QString::fromStdString(failure.message());
        QFile::remove(m_temporary.fileName());
        return false;
    }
    return true;
}

void SafeFile::cancel()
{
    m_pending = QByteArray();
    if (!m_open)
        return;
    m_temporary.close();
    m_temporary.remove();
    m_open = false;
}

} // namespace zo
