#pragma once

#include <QObject>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>

// Runs one job at a time off the window thread: the job is told where to report how far it
// has come and asked whether it is still wanted; its progress and its result come back on
// the thread the task lives on, through the event loop. A job that hangs (in an office, say)
// never holds the windows: the task can give it a bounded wait and leave it to finish on
// its own, and a job left so never reaches the task again.
//
// A thread of its own per job rather than a pool: a pool's threads are waited for without
// limit when the program ends.
class BackgroundTask : public QObject {
    Q_OBJECT

public:
    using Progress = std::function<void(int percent)>;
    using KeepGoing = std::function<bool()>;

    explicit BackgroundTask(QObject *parent = nullptr);
    // A job still at work is asked to stop, given a second, and then left.
    ~BackgroundTask() override;

    // Runs `job(progress, keepGoing)` on a worker thread and returns at once; false while a
    // job is under way. Its result is handed to `done` on this object's thread, unless the
    // job was cancelled or left first; `done` may start the next job.
    template <typename Job, typename Done> bool start(Job job, Done done)
    {
        using Result = std::invoke_result_t<Job &, const Progress &, const KeepGoing &>;
        return launch([job = std::move(job), done = std::move(done)](
                          const Progress &progress, const KeepGoing &keepGoing) mutable {
            if constexpr (std::is_void_v<Result>) {
                job(progress, keepGoing);
                return HandOver(std::move(done));
            } else {
                auto result = std::make_shared<Result>(job(progress, keepGoing));
                return HandOver([done = std::move(done), result] { done(std::move(*result)); });
            }
        });
    }

    // From start until the result is handed over, or the job is cancelled or left.
    bool running() const { return current_ != nullptr; }
    // Asks the job under way to stop; its result still comes.
    void stop();
    // Asks the job under way to stop and forgets it at once: its progress and result never
    // come, and the next job may start.
    void cancel();
    // Waits at most `wait` for the job under way to return; true when none is left at work.
    bool waitFor(std::chrono::milliseconds wait) const;
    // Asks the job under way to stop, waits for it at most `wait`, and then forgets it as
    // cancel does: one that has not returned by then finishes on its own.
    void leave(std::chrono::milliseconds wait);

signals:
    // How far the job under way has come, as it reports it.
    void progressed(int percent);

private:
    // What the window thread does with a job's result.
    using HandOver = std::function<void()>;
    using Work = std::function<HandOver(const Progress &, const KeepGoing &)>;
    // One job: whether it is still wanted, and whether it has returned.
    struct Run {
        std::atomic<bool> stop = false;
        std::promise<void> returned;
    };
    // What the workers reach the task through, so that a task gone first is never touched.
    struct Link {
        std::mutex mutex;
        BackgroundTask *task = nullptr;
    };

    bool launch(Work work);
    // Runs `step` on the task's thread, while the task is there and `run` is its job.
    static void Post(const std::shared_ptr<Link> &link, const std::shared_ptr<Run> &run,
                     std::function<void(BackgroundTask &)> step);
    void forget(bool returned);

    std::shared_ptr<Link> link_;
    std::shared_ptr<Run> current_;
    std::future<void> returned_;
    std::thread worker_;
};
