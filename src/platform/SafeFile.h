#pragma once

#include <QFile>
#include <QString>

namespace zo {

// Writes a file under a temporary name in its folder and gives it its real name only on
// commit(), so a failed, broken or cancelled write never leaves a partial file behind and never
// replaces a good one. When a file of that name exists, its replacement is flushed to disk
// before the rename, so even a crash right after cannot leave neither copy.
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

private:
    QString m_path;
    QFile m_temporary;
    QString m_error;
    bool m_open = false;
};

} // namespace zo
