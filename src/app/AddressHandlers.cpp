// The address box: its history, the handlers that follow its text, and what of the window the
// settings keep between runs.

#include "app/Settings.h"
#include "app/ZoFtpForm.h"
#include "platform/PanelBar.h"

#include <QComboBox>
#include <QLineEdit>

namespace zo {

void TZoFtpForm::ZoIPAddressChange()
{
    RefreshScreenDumpList();
    SoftwareReleasesClick();
}

void TZoFtpForm::ZoIPAddressClick()
{
    RefreshScreenDumpList();
}

void TZoFtpForm::JvFormStorageAfterRestorePlacement()
{
    RefreshScreenDumpList();
    TopPanelResize();
}

void TZoFtpForm::RememberDeviceAddress(const QString& host)
{
    if (host.isEmpty() || host == LastDeviceAddress)
        return;
    if (ZoIPAddress->findText(host, Qt::MatchFixedString) < 0) {
        ZoIPAddress->addItem(host);
        ZoIPAddress->setCurrentIndex(ZoIPAddress->count() - 1);
    }
    LastDeviceAddress = host;
}

void TZoFtpForm::registerStoredValues()
{
    JvFormStorage->addStoredValue({QStringLiteral("ZoIPAddress.Items"),
                                   [this] {
                                       QStringList items;
                                       for (int index = 0; index < ZoIPAddress->count(); ++index)
                                           items << ZoIPAddress->itemText(index);
                                       return QVariant(items);
                                   },
                                   [this](const QVariant& stored) {
                                       if (!stored.canConvert<QStringList>())
                                           return false;
                                       const QString text = ZoIPAddress->currentText();
                                       ZoIPAddress->clear();
                                       ZoIPAddress->addItems(stored.toStringList());
                                       ZoIPAddress->setCurrentIndex(-1);
                                       ZoIPAddress->setEditText(text);
                                       return true;
                                   }});
    JvFormStorage->addStoredValue({QStringLiteral("ZoIPAddress.ItemIndex"),
                                   [this] { return QVariant(ZoIPAddress->currentIndex()); },
                                   [this](const QVariant& stored) {
                                       bool valid = false;
                                       const int index = stored.toInt(&valid);
                                       if (!valid)
                                           return false;
                                       ZoIPAddress->setCurrentIndex(
                                           index >= 0 && index < ZoIPAddress->count() ? index : -1);
                                       return true;
                                   }});
    JvFormStorage->addStoredValue({QStringLiteral("ZoIPAddress.Text"),
                                   [this] { return QVariant(ZoIPAddress->currentText()); },
                                   [this](const QVariant& stored) {
                                       if (!stored.canConvert<QString>())
                                           return false;
                                       ZoIPAddress->setEditText(stored.toString());
                                       return true;
                                   }});
    JvFormStorage->addStoredValue({QStringLiteral("VideoStandard.TopPanel"),
                                   [this] { return QVariant(VideoStandard->topPanel()); },
                                   [this](const QVariant& stored) {
                                       bool valid = false;
                                       const int panel = stored.toInt(&valid);
                                       if (!valid || panel < 0 ||
                                           panel >= VideoStandard->panelCount())
                                           return false;
                                       VideoStandard->setTopPanel(panel);
                                       return true;
                                   }});
}

} // namespace zo
