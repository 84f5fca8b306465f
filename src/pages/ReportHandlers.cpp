// The Report Files page: the instrument's report folders.

#include "app/ZoFtpForm.h"
#include "pages/PageOperations.h"
#include "platform/ListBox.h"

namespace zo {

void TZoFtpForm::ListReportsClick()
{
    ReportList->replaceLines(listReports(*m_batches));
}

} // namespace zo
