// The Report Files page: the instrument's report folders.

#include "app/ZoFtpForm.h"
#include "pages/PageOperations.h"
#include "platform/ListBox.h"

namespace zo {

void TZoFtpForm::ListReportsClick()
{
    BatchResult result;
    const QStringList names = listReports(*m_batches, &result);
    // a listing refused while another batch runs leaves the list as it was
    if (!result.refused)
        ReportList->replaceLines(names);
}

} // namespace zo
