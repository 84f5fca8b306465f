#pragma once

#include <QString>

// The texts of the device pages, in one place.
namespace zo::texts {

inline const QString kConfirmDeleteScreenDump =
    QStringLiteral("Do you want to delete this screen dump on remote Zo");
inline const QString kConfirmDeleteAllScreenDumps =
    QStringLiteral("Do you want to delete ALL screen dumps on remote Zo");
inline const QString kNoConfigFile = QStringLiteral("No config file for this IP address");
inline const QString kCannotShowScreenDump = QStringLiteral("Cannot show the screen dump %1: %2");
inline const QString kAddressNotAFolder =
    QStringLiteral("The address \"%1\" cannot be used: %2 Type the instrument's IP address or "
                   "host name.");
inline const QString kAddressHasSeparator =
    QStringLiteral("it holds a folder separator or a control character, and its files are kept "
                   "in a folder named after it.");
inline const QString kNoDataFolder =
    QStringLiteral("No Documents folder was found to keep the instrument's files in.");
inline const QString kAddressIsDots =
    QStringLiteral("\".\" and \"..\" name no folder of their own.");

} // namespace zo::texts
