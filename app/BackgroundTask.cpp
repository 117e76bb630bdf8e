#include "app/BackgroundTask.h"

BackgroundTask::BackgroundTask(QObject *parent) : QObject(parent), link_(std::make_shared<Link>())
{
    link_->task = this;
}

BackgroundTask::~BackgroundTask()
{
    {
        const std::lock_guard lock(link_->mutex);
        link_->task = nullptr;
    }
    leave(std::chrono::seconds(1));
}

bool BackgroundTask::launch(Work work)
{
    if (running()) return false;
    auto run = std::make_shared<Run>();
    returned_ = run->returned.get_future();
    current_ = run;
    worker_ = std::thread([work = std::move(work), run, link = link_]() mutable {
        const Progress progress = [&link, &run](int percent) {
            Post(link, run, [percent](BackgroundTask &task) { emit task.progressed(percent); });
        };
        HandOver handOver = work(progress, [&run] { return !run->stop.load(); });
        // The job's own state goes here, off the window thread, before the window thread
        // waits for this thread to end.
        work = nullptr;
        Post(link, run, [handOver = std::move(handOver)](BackgroundTask &task) {
            task.forget(true);
            handOver();
        });
        run->returned.set_value();
    });
    return true;
}

void BackgroundTask::Post(const std::shared_ptr<Link> &link, const std::shared_ptr<Run> &run,
                          std::function<void(BackgroundTask &)> step)
{
    // Under the lock the task cannot go; once posted, a task that goes drops the event.
    const std::lock_guard lock(link->mutex);
    BackgroundTask *task = link->task;
    if (!task) return;
    QMetaObject::invokeMethod(
        task,
        [task, run, step = std::move(step)] {
            if (task->current_ == run) step(*task);
        },
        Qt::QueuedConnection);
}

void BackgroundTask::stop()
{
    if (current_) current_->stop.store(true);
}

void BackgroundTask::cancel()
{
    if (!current_) return;
    current_->stop.store(true);
    forget(false);
}

bool BackgroundTask::waitFor(std::chrono::milliseconds wait) const
{
    return !worker_.joinable() || returned_.wait_for(wait) == std::future_status::ready;
}

void BackgroundTask::leave(std::chrono::milliseconds wait)
{
    if (!current_) return;
    current_->stop.store(true);
    forget(waitFor(wait));
}

void BackgroundTask::forget(bool returned)
{
    current_.reset();
    if (!worker_.joinable()) return;
    if (returned)
        worker_.join(); // at most the moment between handing over and ending
    else
        worker_.detach();
}
