#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace zo {

// Writes a file under a temporary name in its folder and gives it its real name only on
// commit(), so a failed, broken or cancelled write never leaves a partial file behind and never
// replaces a good one. When a file of that name exists, its replacement is flushed to disk
// before the rename, so even a crash right after cannot leave neither copy.
//
// Writes are gathered into blocks of kWriteBlock bytes before they go to the file: callers
// hand over small pieces (libcurl 16 KiB at a time), and every write call costs the file
// system the same bookkeeping whatever its size. A write error may therefore show only at a
// later write() or at commit(); either returns false.
class SafeFile
{
public:
    explicit SafeFile(QString path);
    ~SafeFile();
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    bool open();
    bool write(const char* data, qint64 size);
    bool commit();
    void cancel();

    QString path() const { return m_path; }
    QString errorString() const { return m_error; }

    static constexpr qint64 kWriteBlock = 1024 * 1024;

private:
    bool writeThrough(const char* data, qint64 size);
    bool flushPending();

    QString m_path;
    QFile m_temporary;
    QString m_error;
    bool m_open = false;
    // what write() was given and has not yet gone to the file; at most kWriteBlock bytes
    QByteArray m_pending;
};

} // namespace zo
