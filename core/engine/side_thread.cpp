// The kept thread's side of SideThread: take a part, run it, say it is done.
#include "core/engine/side_thread.h"

#include <utility>

namespace quenbol {

SideThread::~SideThread() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void SideThread::Start() {
    std::lock_guard lock(mutex_);
    StartLocked();
}

void SideThread::StartLocked() {
    if (!thread_.joinable()) thread_ = std::thread([this] { Serve(); });  // throws if it cannot start
}

void SideThread::Hand(std::function<void()> part) {
    std::lock_guard lock(mutex_);
    StartLocked();
    part_ = std::move(part);
    busy_ = true;
    failed_ = nullptr;
    changed_.notify_all();
}

std::exception_ptr SideThread::WaitForPart() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    return std::exchange(failed_, nullptr);
}

void SideThread::Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return part_ || quit_; });
        if (!part_) return;  // quit, with nothing in hand
        std::function<void()> part = std::move(part_);
        part_ = nullptr;
        lock.unlock();
        std::exception_ptr failed;
        try {
            part();
        } catch (...) {
            failed = std::current_exception();
        }
        lock.lock();
        failed_ = failed;
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace quenbol
