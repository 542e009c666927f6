#pragma once

#include <QObject>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

// One job at a time on a thread of its own, for work that would freeze the window (reading a
// long log, writing its export). The job looks at its cancel flag often and hands its results
// over with post(), which runs them on the owner's thread through the event loop. A new job,
// stop() or the end of the owner cancels the job under way and waits for it; what it posted
// and had not run yet is dropped, so an owner never hears of a job it gave up.
class WorkerThread {
public:
    using Post = std::function<void(std::function<void()>)>;
    using Job = std::function<void(const std::atomic<bool>& cancelled, const Post& post)>;

    explicit WorkerThread(QObject* owner)
        : owner_(owner) {}
    ~WorkerThread() { stop(); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    void start(Job job);
    void stop();
    // From start() until stop(), which the job's last posted result usually calls.
    bool isBusy() const { return thread_ != nullptr; }

private:
    QObject* owner_;
    QThread* thread_ = nullptr;
    std::shared_ptr<std::atomic<bool>> cancelled_;
    quint64 generation_ = 0; // what a given-up job posts is dropped
};
