// The ScreenDumps page: the local folder kept per address, the picture, "Get All" and deleting
// screen dumps on the instrument.

#include "app/ZoFtpForm.h"
#include "pages/PageOperations.h"
#include "pages/PageTexts.h"
#include "platform/Dialogs.h"
#include "platform/ListBox.h"
#include "releases/LocalFiles.h"
#include "releases/ReleaseTexts.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zo {

void TZoFtpForm::RefreshScreenDumpList()
{
    ScreenDumpDir->setText(screenDumpFolder(DataDir, addressText()));
    ScreenDumpList->clearLines();
    // an address whose files cannot be kept has no screen dumps to show
    if (deviceFolderRefusal(DataDir, addressText()).isEmpty())
        ScreenDumpList->addLines(listLocalFiles(ScreenDumpDir->text() + kScreenDumpMask));
    ScreenDumpList->setItemIndex(0);
    ScreenDumpListClick();
}

void TZoFtpForm::ScreenDumpListClick()
{
    if (ScreenDumpList->itemIndex() < 0) {
        ScreenDumpImage->clear();
        return;
    }
    const QString path = screenDumpFolder(DataDir, addressText()) + ScreenDumpList->selectedLine();
    QImageReader reader(path);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        ScreenDumpImage->clear();
        showErrorOk(this, texts::kCannotShowScreenDump.arg(path, reader.errorString()));
        return;
    }
    ScreenDumpImage->setPixmap(QPixmap::fromImage(picture));
}

void TZoFtpForm::GetAllScreenDumpsClick()
{
    // a press while a batch of another command runs cannot start; one while Busy cancels
    if (!Busy && refuseWhileBatchRuns())
        return;
    if (ToggleBusy()) {
        SavedGetAllCaption = GetAllScreenDumps->text();
        GetAllScreenDumps->setText(texts::kCaptionCancel);
        QString refusal = deviceFolderRefusal(DataDir, addressText());
        if (refusal.isEmpty()) {
            const auto folderNow = [this, &refusal] {
                // the address may have been edited while the listing ran
                refusal = deviceFolderRefusal(DataDir, addressText());
                return refusal.isEmpty() ? screenDumpFolder(DataDir, addressText()) : QString();
            };
            fetchAllScreenDumps(*m_batches, folderNow, [this] { return Busy; });
        }
        if (!refusal.isEmpty())
            showErrorOk(this, refusal);
        RefreshScreenDumpList();
        Busy = false;
        RefreshList->setEnabled(true);
    }
    if (!SavedGetAllCaption.isEmpty())
        GetAllScreenDumps->setText(SavedGetAllCaption);
}

void TZoFtpForm::DeleteScreenDumpClick()
{
    if (ScreenDumpList->itemIndex() < 0)
        return;
    if (!askYesNo(this, texts::kConfirmDeleteScreenDump))
        return;
    DeleteRemoteFiles(kScreenDumpPrefix, {ScreenDumpList->selectedLine()});
}

void TZoFtpForm::DeleteAllScreenDumpsClick()
{
    if (ScreenDumpList->itemIndex() < 0)
        return;
    if (!askYesNo(this, texts::kConfirmDeleteAllScreenDumps))
        return;
    deleteAllScreenDumps(*m_batches);
}

void TZoFtpForm::CopyScreenDumpClick()
{
    const QPixmap picture = ScreenDumpImage->pixmap();
    if (picture.isNull())
        return;
    QGuiApplication::clipboard()->setPixmap(picture);
}

} // namespace zo
