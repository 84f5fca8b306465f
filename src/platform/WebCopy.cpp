#include "platform/WebCopy.h"

#include "platform/CurlTransfer.h"
#include "platform/JobThread.h"
#include "platform/WorkerWait.h"

#include <QPointer>
#include <condition_variable>
#include <mutex>
#include <vector>

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
    job.listedSize = item.ListedSize;
    return job;
}

} // namespace

// What the worker and the caller's thread share while a batch runs.
struct WebCopy::BatchRun
{
    std::mutex mutex;
    std::condition_variable changed;
    // items whose end the caller's thread has handled
    int handled = 0;
    // set on the caller's thread: the batch has ended there, later events of it are dropped
    bool stopped = false;

    void stop()
    {
        {
            std::lock_guard lock(mutex);
            stopped = true;
        }
        changed.notify_all();
    }
};

namespace {

struct PlannedItem
{
    int index = 0;
    ItemJob job;
};

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

    auto run = std::make_shared<BatchRun>();
    std::vector<PlannedItem> plan;
    int ordinal = 0;
    for (int index = 0; index < Items.Count(); ++index) {
        if (!Items[index].Active)
            continue;
        ++ordinal;
        PlannedItem item{index, jobFor(Items[index])};
        // progress arrives as often as blocks move; the window needs only the latest figure
        item.job.progress = latestOnThreadOf<quint64, quint64>(
            this, [self = QPointer<WebCopy>(this), run, ordinal](quint64 size, quint64 total) {
                if (self && !run->stopped)
                    Q_EMIT self->OnCopyProgress(ordinal, size, total);
            });
        plan.push_back(std::move(item));
    }

    // The worker runs the whole batch; each item's start and end reach this thread as events,
    // in order. Before it begins the next item it waits until this thread has handled the end
    // of the last one: a cancel, or an error report that ends the batch (an instrument that
    // cannot be reached), then stops the batch before anything more happens on the instrument.
    CurlTransfer* session = m_worker->session.get();
    const auto runBatch = [this, session, run, plan = std::move(plan)]() mutable {
        for (size_t position = 0; position < plan.size() && !m_cancel; ++position) {
            const int index = plan[position].index;
            QMetaObject::invokeMethod(
                this,
                [this, run, index] {
                    // an item that begins after a cancel is not announced: it ends at once
                    if (!run->stopped && !m_cancel)
                        Q_EMIT OnFileStart(index);
                },
                Qt::QueuedConnection);
            ItemOutcome outcome = session->run(plan[position].job);
            QMetaObject::invokeMethod(
                this,
                [this, run, index, outcome = std::move(outcome)] {
                    finishItem(*run, index, outcome);
                },
                Qt::QueuedConnection);
            std::unique_lock lock(run->mutex);
            run->changed.wait(
                lock, [&] { return run->stopped || run->handled > static_cast<int>(position); });
        }
        // closing the connection says goodbye to the server: not on the caller's thread
        session->close();
    };
    if (!runAndWait(this, m_worker->thread, runBatch)) {
        // the application is closing: stop the transfer and wait for the worker to let go
        m_cancel = true;
        run->stop();
        m_worker->thread.waitIdle();
    }
    run->stop();
    m_worker.reset();
    m_executing = false;
}

void WebCopy::finishItem(BatchRun& run, int index, const ItemOutcome& outcome)
{
    if (run.stopped)
        return;
    Items[index].FileDetails = outcome.details;
    Items[index].Success = outcome.ok && !m_cancel;
    if (outcome.deleteRefused && !m_cancel)
        Q_EMIT OnRemovedFileFailed(index);
    if (m_cancel) {
        // what the worker may already have begun is not reported
        run.stop();
        return;
    }
    Q_EMIT OnFileDone(index);
    {
        std::lock_guard lock(run.mutex);
        ++run.handled;
    }
    run.changed.notify_all();
}

} // namespace zo
