#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <tuple>
#include <type_traits>

namespace zo {

class JobThread;

// Runs a job on the worker thread while the calling thread's event loop keeps turning, so the
// window stays responsive and handlers run nested meanwhile. Returns false when the loop was
// told to quit (the application is closing) before the job finished.
bool runAndWait(QObject* context, JobThread& thread, std::function<void()> job);

// Hands the latest of a stream of values from a worker thread to a handler on the context's
// thread. At most one delivery waits in the queue: a busy receiver gets the newest figure, not
// a backlog.
template <typename... Values>
std::function<void(Values...)>
latestOnThreadOf(QObject* context, std::type_identity_t<std::function<void(Values...)>> deliver)
{
    struct Shared
    {
        std::mutex mutex;
        std::tuple<Values...> latest;
        std::atomic_bool pending{false};
    };
    auto shared = std::make_shared<Shared>();
    QPointer<QObject> receiver(context);
    return [shared, receiver, deliver](Values... values) {
        {
            std::lock_guard lock(shared->mutex);
            shared->latest = std::make_tuple(values...);
        }
        if (shared->pending.exchange(true))
            return;
        QMetaObject::invokeMethod(
            receiver,
            [shared, deliver] {
                shared->pending = false;
                std::tuple<Values...> values;
                {
                    std::lock_guard lock(shared->mutex);
                    values = shared->latest;
                }
                std::apply(deliver, values);
            },
            Qt::QueuedConnection);
    };
}

} // namespace zo
