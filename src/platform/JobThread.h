#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace zo {

// One worker thread that runs posted jobs in order. The destructor runs what is queued, then
// joins the thread.
class JobThread
{
public:
    JobThread();
    ~JobThread();
    JobThread(const JobThread&) = delete;
    JobThread& operator=(const JobThread&) = delete;

    void post(std::function<void()> job);
    // Blocks until every posted job has run.
    void waitIdle();

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_jobs;
    bool m_running = false;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace zo
