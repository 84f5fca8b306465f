// The Test Patterns page: the user test patterns the instrument holds per video standard.

#include "app/ZoFtpForm.h"
#include "pages/PageOperations.h"
#include "platform/ListBox.h"
#include "platform/PanelBar.h"
#include "platform/WebCopy.h"
#include "transfer/Texts.h"

namespace zo {

void TZoFtpForm::VideoStandardButtonClick(int panel, int item)
{
    const std::optional<PatternFolder> entry =
        patternFolderForTag(VideoStandard->item(panel, item).tag);
    if (item < 0 || item >= VideoStandard->itemCount(panel) || !entry)
        return;
    VideoStandard->setItemIndex(panel, entry->itemIndex);
    BatchResult result;
    const QStringList names = listPatterns(*m_batches, entry->folder, &result);
    // a listing refused while another batch runs leaves the list as it was
    if (!result.refused)
        UserPatternList->replaceLines(names);
}

void TZoFtpForm::VideoStandardPanelCaptionClick(int panel)
{
    int index = VideoStandard->itemIndex(panel);
    if (index < 0 || index >= VideoStandard->itemCount(panel)) {
        index = 0;
        VideoStandard->setItemIndex(panel, index);
    }
    if (index < VideoStandard->itemCount(panel))
        VideoStandardButtonClick(panel, index);
}

void TZoFtpForm::VideoStandardPanelOpen(int panel)
{
    VideoStandardPanelCaptionClick(panel);
}

void TZoFtpForm::VideoStandardUpdateButtonClick(int /*panel*/, int /*item*/)
{
    // the "Update" buttons only mark the rows; choosing a row lists it
}

void TZoFtpForm::VideoStandardEditBtnClick(int /*panel*/, int /*item*/)
{
    // the bar shows no in-place editor, so this never fires
}

void TZoFtpForm::TestPatternsDrop(const QStringList& paths)
{
    // dropped files are sent to the instrument's folder of the standard chosen in the open
    // panel, then that folder is listed again
    if (Busy || WebCopy->isExecuting()) {
        ErrorLog->addLine(texts::kRefusedWhileRunning);
        return;
    }
    const int panel = VideoStandard->topPanel();
    const int index = std::max(VideoStandard->itemIndex(panel), 0);
    const std::optional<PatternFolder> entry =
        patternFolderForTag(VideoStandard->item(panel, index).tag);
    if (!entry)
        return;
    Busy = true;
    uploadPatterns(*m_batches, paths, entry->folder);
    Busy = false;
    VideoStandardButtonClick(panel, index);
}

} // namespace zo
