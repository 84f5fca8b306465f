#pragma once

#include <QString>

namespace zo {

// The fixed account every instrument offers.
inline const QString kDeviceUser = QStringLiteral("zouser");
inline const QString kDevicePassword = QStringLiteral("quillmont");
inline constexpr int kDefaultDevicePort = 21;

// The account's port: ZOFTP_PORT when it holds a valid port number, 21 otherwise.
int devicePort();

} // namespace zo
