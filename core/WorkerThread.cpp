#include "core/WorkerThread.h"

void WorkerThread::start(Job job) {
    stop();
    const quint64 generation = generation_;
    cancelled_ = std::make_shared<std::atomic<bool>>(false);
    const std::shared_ptr<std::atomic<bool>> cancelled = cancelled_;
    const Post post = [owner = QPointer<QObject>(owner_), worker = this,
                       generation](std::function<void()> result) {
        QMetaObject::invokeMethod(
            owner.data(),
            [owner, worker, generation, result = std::move(result)] {
                // The worker lives as long as its owner; the generation tells a given-up job.
                if (owner && worker->generation_ == generation)
                    result();
            },
            Qt::QueuedConnection);
    };
    thread_ = QThread::create([job = std::move(job), cancelled, post] { job(*cancelled, post); });
    thread_->start(QThread::LowPriority);
}

void WorkerThread::stop() {
    ++generation_;
    if (!thread_)
        return;
    *cancelled_ = true;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
}
