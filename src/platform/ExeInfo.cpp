#include "platform/ExeInfo.h"

namespace zo {

QString ExeInfo::FileVersion() const
{
    return QStringLiteral(ZOFTP_FILE_VERSION);
}

} // namespace zo
