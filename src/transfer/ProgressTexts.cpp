#include "transfer/ProgressTexts.h"

#include "platform/WebCopy.h"
#include "transfer/Texts.h"

namespace zo {
namespace {

QString afterLast(const QString& text, QChar separator)
{
    return text.mid(text.lastIndexOf(separator) + 1);
}

QString fileNameOfLocalPath(const QString& path)
{
    return path.mid(
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1);
}

} // namespace

FileStartTexts fileStartTexts(const TWebCopyItem& item, int index, int count)
{
    QString word;
    FileStartTexts texts;
    switch (item.Protocol) {
    case wpHttp:
        word = texts::kWordHttp;
        texts.file = afterLast(item.URL, QLatin1Char('/'));
        break;
    case wpFtp:
        word = texts::kWordDownload;
        texts.file = item.TargetFilename;
        break;
    case wpFtpUpload:
        word = texts::kWordUpload;
        texts.file = fileNameOfLocalPath(item.URL);
        break;
    case wpFtpDelete:
        word = texts::kWordDelete;
        texts.file = item.URL;
        texts.showsProgress = false;
        break;
    case wpFtpList:
        texts.operation = texts::kDirectory;
        texts.file = item.URL;
        return texts;
    default:
        break;
    }
    texts.operation = texts::kFileCounter.arg(word).arg(index + 1).arg(count);
    return texts;
}

} // namespace zo
