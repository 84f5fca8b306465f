#include "platform/WorkerWait.h"

#include "platform/JobThread.h"

#include <QEventLoop>

namespace zo {

bool runAndWait(QObject* context, JobThread& thread, std::function<void()> job)
{
    QEventLoop loop;
    auto finished = std::make_shared<bool>(false);
    QPointer<QEventLoop> waiting(&loop);
    thread.post([context = QPointer<QObject>(context), job = std::move(job), finished, waiting] {
        job();
        QMetaObject::invokeMethod(
            context,
            [finished, waiting] {
                *finished = true;
                if (waiting)
                    waiting->quit();
            },
            Qt::QueuedConnection);
    });
    // exec() also returns when the application quits, before the job has finished
    loop.exec();
    return *finished;
}

} // namespace zo
