// "Copy to Zo": the selected release extracted and uploaded into the instrument's setup folder.

#include "app/ZoFtpForm.h"
#include "platform/ListBox.h"
#include "platform/StatusBar.h"
#include "platform/ZipBuilder.h"
#include "releases/ReleaseOperations.h"
#include "releases/ReleaseTexts.h"

#include <QPushButton>

namespace zo {

void TZoFtpForm::CopySwToZoClick()
{
    if (SoftwareReleases->itemIndex() < 0)
        return;
    // a press while a batch of another command runs cannot start; one while Busy cancels
    if (!Busy && refuseWhileBatchRuns())
        return;
    if (ToggleBusy()) {
        CopySwToZo->setText(texts::kCaptionCancel);
        InstallSteps steps;
        steps.stillBusy = [this] {
            return Busy;
        };
        steps.beforeExtract = [this] {
            StatusBar->setPanelText(0, texts::kExtractingZip);
            StatusBar->setProgressMax(100);
            StatusBar->setProgressPosition(0);
            StatusBar->setProgressStyle(PanelStyle::Progress);
        };
        steps.afterExtract = [this] {
            StatusBar->setProgressStyle(PanelStyle::Text);
        };
        steps.afterUpload = [this] {
            StatusBar->setPanelText(0, texts::kUploadCompleted);
        };
        installRelease(*m_batches, *ZipBuilder, softwareFolder() + SoftwareReleases->selectedLine(),
                       steps);
        Busy = false;
        RefreshList->setEnabled(true);
    }
    CopySwToZo->setText(texts::kCaptionCopyToZo);
}

void TZoFtpForm::ZipBuilderTotalProgress(qint64 /*TotalSize*/, int PerCent)
{
    StatusBar->setProgressPosition(static_cast<quint64>(std::max(PerCent, 0)));
}

} // namespace zo
