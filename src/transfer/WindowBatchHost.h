#pragma once

#include "transfer/DeviceBatches.h"

namespace zo {

class TZoFtpForm;

// The window as the host of batch operations: its address box, its busy flag, its error log.
class WindowBatchHost : public BatchHost
{
public:
    explicit WindowBatchHost(TZoFtpForm& form) : m_form(form) {}

    QString addressText() const override;
    bool isBusy() const override;
    void appendErrorLog(const QString& line) override;
    void showErrorLog() override;

private:
    TZoFtpForm& m_form;
};

} // namespace zo
