// The Manufacturing page: recovery files and the instrument's configuration file.

#include "app/ZoFtpForm.h"
#include "pages/PageOperations.h"
#include "pages/PageTexts.h"
#include "platform/Dialogs.h"

#include <QFileInfo>

namespace zo {

void TZoFtpForm::DeleteRecoveryFilesClick()
{
    deleteRecoveryFiles(*m_batches);
}

void TZoFtpForm::GetConfigFileClick()
{
    const QString refusal = deviceFolderRefusal(DataDir, addressText());
    if (!refusal.isEmpty()) {
        showErrorOk(this, refusal);
        return;
    }
    getConfigFile(*m_batches, deviceFolder(DataDir, addressText()));
}

void TZoFtpForm::PutConfigFileClick()
{
    const QString refusal = deviceFolderRefusal(DataDir, addressText());
    if (!refusal.isEmpty()) {
        showErrorOk(this, refusal);
        return;
    }
    const QString deviceDir = deviceFolder(DataDir, addressText());
    if (!QFileInfo(deviceDir + kConfigFileName).isFile()) {
        showErrorCancel(this, texts::kNoConfigFile);
        return;
    }
    putConfigFile(*m_batches, deviceDir);
}

} // namespace zo
