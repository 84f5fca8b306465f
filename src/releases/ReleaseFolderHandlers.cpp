// The Software Update page's local side: the release list, deleting a release, dropped archives
// and the rule that enables "Copy to Zo".

#include "app/ZoFtpForm.h"
#include "platform/Dialogs.h"
#include "platform/ListBox.h"
#include "releases/ReleaseOperations.h"
#include "releases/ReleaseTexts.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace zo {

void TZoFtpForm::RefreshReleaseList()
{
    SoftwareReleases->replaceLines(releaseNames(softwareFolder()));
}

void TZoFtpForm::SoftwareReleasesClick()
{
    CopySwToZo->setEnabled(SoftwareReleases->itemIndex() >= 0 && !addressText().isEmpty());
}

void TZoFtpForm::DeleteSoftwareClick()
{
    if (SoftwareReleases->itemIndex() < 0)
        return;
    if (!askYesNo(this, texts::kConfirmDeleteRelease))
        return;
    const QString path = softwareFolder() + SoftwareReleases->selectedLine();
    if (!QFileInfo(path).isFile())
        return;
    QFile::remove(path);
    RefreshReleaseList();
    CopySwToZo->setEnabled(false);
}

void TZoFtpForm::copyDroppedRelease(const QString& path)
{
    // without a data folder there is no software folder to keep the archive in
    if (DataDir.isEmpty())
        return;
    // QFile::copy never replaces an existing file: the archive already kept stays
    QFile::copy(path, softwareFolder() + QFileInfo(path).fileName());
    RefreshReleaseList();
}

QString TZoFtpForm::MakeTempDir() const
{
    return zo::MakeTempDir();
}

void TZoFtpForm::ClearLocalDir(const QString& dir)
{
    zo::ClearLocalDir(dir);
}

} // namespace zo
