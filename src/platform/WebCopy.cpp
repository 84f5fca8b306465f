#include "platform/WebCopy.h"

#include "platform/CurlTransfer.h"
#include "platform/JobThread.h"
#include "platform/WorkerWait.h"

#include <QPointer>

namespace zo {

TWebCopyItem& TWebCopyItems::Add()
{
    m_items.push_back(std::make_unique<TWebCopyItem>());
    return *m_items.back();
}

// The worker side of a batch: one thread and one transfer session (one libcurl handle, hence
// one reused connection) for the whole batch.
class TransferWorker
{
public:
    JobThread thread;
    std::unique_ptr<CurlTransfer> session;
};

WebCopy::WebCopy(QObject* parent) : QObject(parent) {}

WebCopy::~WebCopy()
{
    // a batch cannot outlive its component; stop whatever the worker still does
    m_cancel = true;
}

void WebCopy::CancelCopy()
{
    m_cancel = true;
}

void WebCopy::Shutdown()
{
    m_shutDown = true;
    m_cancel = true;
}

namespace {

ItemJob jobFor(const TWebCopyItem& item)
{
    ItemJob job;
    job.protocol = item.Protocol;
    job.url = item.URL;
    job.targetDir = item.TargetDir;
    job.targetFilename = item.TargetFilename;
    job.host = item.FTPHost;
    job.user = item.FTPUserID;
    job.password = item.FTPPassword;
    job.port = item.FTPPort;
    job.replaceSafely = item.ReplaceSafely;
    job.sizeLimit = item.SizeLimit;
    return job;
}

} // namespace

void WebCopy::Execute()
{
    if (m_executing || m_shutDown)
        return;
    m_executing = true;
    m_cancel = false;

    m_worker = std::make_unique<TransferWorker>();
    CurlTransfer::Settings settings;
    settings.agent = Agent;
    settings.connectTimeoutMs = m_connectTimeoutMs;
    settings.stallTimeoutMs = m_stallTimeoutMs;
    settings.cancel = &m_cancel;
    settings.reportError = [this](int code, const QString& text) {
        QMetaObject::invokeMethod(
            this, [this, code, text] { Q_EMIT OnErrorInfo(code, text); }, Qt::QueuedConnection);
    };
    m_worker->session = std::make_unique<CurlTransfer>(settings);

    int ordinal = 0;
    for (int index = 0; index < Items.Count(); ++index) {
        if (!Items[index].Active)
            continue;
        ++ordinal;
        Q_EMIT OnFileStart(index);
        const bool succeeded = !m_cancel && runItem(index, ordinal);
        Items[index].Success = succeeded && !m_cancel;
        if (m_cancel)
            break;
        Q_EMIT OnFileDone(index);
    }

    // closing the connection says goodbye to the server: not on this thread
    runAndWait(this, m_worker->thread, [session = m_worker->session.get()] { session->close(); });
    m_worker.reset();
    m_executing = false;
}

bool WebCopy::runItem(int index, int ordinal)
{
    ItemJob job = jobFor(Items[index]);
    ItemOutcome outcome;
    CurlTransfer* session = m_worker->session.get();

    // progress arrives as often as blocks move; the window needs only the latest figure
    job.progress = latestOnThreadOf<quint64, quint64>(
        this, [self = QPointer<WebCopy>(this), ordinal](quint64 size, quint64 total) {
            if (self)
                Q_EMIT self->OnCopyProgress(ordinal, size, total);
        });

    const bool finished = runAndWait(this, m_worker->thread,
                                     [session, &job, &outcome] { outcome = session->run(job); });
    if (!finished) {
        // the application is closing: stop the transfer and wait for the worker to let go
        m_cancel = true;
        m_worker->thread.waitIdle();
    }
    Items[index].FileDetails = outcome.details;
    if (outcome.deleteRefused && !m_cancel)
        Q_EMIT OnRemovedFileFailed(index);
    return outcome.ok;
}

} // namespace zo
