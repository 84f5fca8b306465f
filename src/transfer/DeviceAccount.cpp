#include "transfer/DeviceAccount.h"

#include <QtGlobal>

namespace zo {

int devicePort()
{
    if (!qEnvironmentVariableIsSet("ZOFTP_PORT"))
        return kDefaultDevicePort;
    bool valid = false;
    const int port = qEnvironmentVariableIntValue("ZOFTP_PORT", &valid);
    if (valid && port > 0 && port <= 65535)
        return port;
    qWarning("ZOFTP_PORT is not a port number (1 to 65535); using port %d", kDefaultDevicePort);
    return kDefaultDevicePort;
}

} // namespace zo
