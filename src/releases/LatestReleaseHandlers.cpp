// "Get Latest": the manifest from the maker's web server, then the release archive it names.

#include "app/ZoFtpForm.h"
#include "platform/Dialogs.h"
#include "platform/ListBox.h"
#include "platform/StatusBar.h"
#include "platform/WebCopy.h"
#include "releases/ReleaseOperations.h"
#include "releases/ReleaseTexts.h"
#include "transfer/Texts.h"

namespace zo {

void TZoFtpForm::RefreshListClick()
{
    // pressed again while its own downloads (or any other batch) run
    if (refuseWhileBatchRuns())
        return;
    // without a data folder the archive would land in whatever folder the program started in
    if (DataDir.isEmpty()) {
        showErrorOk(this, texts::kNoSoftwareFolder);
        return;
    }
    const QString tempDir = MakeTempDir();
    Busy = true;
    const ManifestRead manifest = fetchManifest(*m_batches, tempDir);
    if (!manifest.opened) {
        showErrorOk(this, texts::kCannotOpenFile.arg(manifest.path, manifest.openError));
    } else if (manifest.value.isEmpty()) {
        showErrorCancel(this, texts::kNoNewVersion);
    } else {
        BatchResult fetched;
        const QString name =
            fetchReleaseArchive(*m_batches, manifest.value, softwareFolder(), &fetched);
        RefreshReleaseList();
        SoftwareReleases->setItemIndex(SoftwareReleases->indexOfLine(name));
        SoftwareReleasesClick();
        // a failed download has its line in the error log; it is not also called completed
        if (Busy && fetched.succeeded())
            StatusBar->setPanelText(0, texts::kDownloadCompleted);
    }
    Busy = false;
}

} // namespace zo
