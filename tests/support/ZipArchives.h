#pragma once

#include "TestEnvironment.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>

namespace zo::test {

// One entry of an archive that a test builds. The name is stored exactly as given, so an
// entry may be named to leave the folder it is extracted into.
struct ZipEntry
{
    enum Kind
    {
        Deflated,
        Stored,
        SymbolicLink // data is the link's target
    };
    QString name;
    QByteArray data;
    Kind kind = Deflated;
    int repeat = 1; // the data this many times over: a large entry without a large message
};

// Runs a script with the system Python, the input as JSON on its standard input. Returns an
// empty text on success, the reason otherwise.
inline QString runPython(const char* script, const QJsonObject& input)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QString::fromLatin1(script)});
    if (!python.waitForStarted(10000))
        return QStringLiteral("python3 did not start: ") + python.errorString();
    python.write(QJsonDocument(input).toJson());
    python.closeWriteChannel();
    if (!python.waitForFinished(60000)) {
        python.kill();
        python.waitForFinished(5000);
        return QStringLiteral("python3 did not finish");
    }
    if (python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
        return QString::fromLocal8Bit(python.readAllStandardError());
    return {};
}

// Writes a real zip archive with Python's zipfile, which stores any entry name it is given.
// Returns an empty text on success, the reason otherwise.
inline QString writeZip(const QString& path, const QList<ZipEntry>& entries)
{
    static const char* const kScript = R"(
import base64, json, sys, zipfile
given = json.load(sys.stdin)
kinds = {"Deflated": zipfile.ZIP_DEFLATED, "Stored": zipfile.ZIP_STORED,
         "SymbolicLink": zipfile.ZIP_STORED}
with zipfile.ZipFile(given["path"], "w") as archive:
    for entry in given["entries"]:
        info = zipfile.ZipInfo(entry["name"], date_time=(2026, 11, 30, 12, 0, 0))
        info.compress_type = kinds[entry["kind"]]
        info.create_system = 3
        mode = 0o120777 if entry["kind"] == "SymbolicLink" else 0o100644
        info.external_attr = mode << 16
        archive.writestr(info, base64.b64decode(entry["data"]) * entry["repeat"])
)";
    QJsonArray list;
    for (const ZipEntry& entry : entries) {
        const char* kind = entry.kind == ZipEntry::Stored         ? "Stored"
                           : entry.kind == ZipEntry::SymbolicLink ? "SymbolicLink"
                                                                  : "Deflated";
        list.append(QJsonObject{{"name", entry.name},
                                {"data", QString::fromLatin1(entry.data.toBase64())},
                                {"kind", QString::fromLatin1(kind)},
                                {"repeat", entry.repeat}});
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    return runPython(kScript, QJsonObject{{"path", path}, {"entries", list}});
}

// An archive of deflated entries, all holding the same data, whose headers claim another
// uncompressed size (zip64 fields, up to 2^64 - 1). Python's zipfile writes only true sizes, so
// this one is put together by hand.
inline QString writeZipClaimingSize(const QString& path, const QStringList& names,
                                    const QByteArray& data, quint64 claimedSize)
{
    static const char* const kScript = R"(
import json, struct, sys, zlib
given = json.load(sys.stdin)
data = given["data"].encode("latin-1")
claimed = int(given["claimed"])
packer = zlib.compressobj(6, zlib.DEFLATED, -15)
packed = packer.compress(data) + packer.flush()
crc = zlib.crc32(data)
body, directory = bytearray(), bytearray()
for name in given["names"]:
    name = name.encode("utf-8")
    extra = struct.pack("<HHQQ", 1, 16, claimed, len(packed))
    offset = len(body)
    body += struct.pack("<IHHHHHIIIHH", 0x04034B50, 45, 0, 8, 0, 0x5B7E, crc,
                        0xFFFFFFFF, 0xFFFFFFFF, len(name), len(extra)) + name + extra + packed
    directory += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 0x031E, 45, 0, 8, 0, 0x5B7E, crc,
                             0xFFFFFFFF, 0xFFFFFFFF, len(name), len(extra), 0, 0, 0,
                             0o100644 << 16, offset) + name + extra
end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(given["names"]), len(given["names"]),
                  len(directory), len(body), 0)
with open(given["path"], "wb") as archive:
    archive.write(body + directory + end)
)";
    QDir().mkpath(QFileInfo(path).absolutePath());
    return runPython(kScript, QJsonObject{{"path", path},
                                          {"names", QJsonArray::fromStringList(names)},
                                          {"data", QString::fromLatin1(data)},
                                          {"claimed", QString::number(claimedSize)}});
}

// A copy of a stored entry's archive with one byte of that entry's data changed, so that its
// checksum no longer matches; the data must occur once in the archive.
inline QString writeWithBadChecksum(const QString& path, const QByteArray& storedData)
{
    QByteArray bytes = readFile(path);
    const qsizetype at = bytes.indexOf(storedData);
    if (at < 0 || bytes.indexOf(storedData, at + 1) >= 0)
        return QStringLiteral("the stored data is not in the archive once");
    bytes[at + storedData.size() / 2] = static_cast<char>(bytes[at + storedData.size() / 2] ^ 0x5a);
    return writeFile(path, bytes) ? QString() : QStringLiteral("cannot rewrite ") + path;
}

// Every file and folder below a folder, as relative paths; symbolic links are listed, never
// followed.
inline QStringList treeOf(const QString& folder)
{
    QStringList found;
    QDirIterator entries(folder,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext())
        found << QDir(folder).relativeFilePath(entries.next());
    found.sort();
    return found;
}

} // namespace zo::test
