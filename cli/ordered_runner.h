// Work on many items in parallel, results handed over in item order: the
// output of a run is the same whatever the number of threads and the timing.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>  // and std::chrono: <chrono> itself holds a literal code page 932 lacks
#include <vector>

namespace quenbol::cli {

// Runs work(i) for i = 0 to count - 1 on `jobs` threads and calls
// deliver(i, result) on the calling thread in order of i, each as soon as it
// and all before it are done. Items are started only a short way ahead of
// the one awaited (a few per thread), so the work in flight, and the results
// held, stay bounded whatever the count. `deliver` returning false stops the
// run: no further item is started. While it waits, the calling thread calls
// idle() about every `tick`. An exception thrown by work(i) is thrown again
// here, when item i's turn comes.
template <class Result>
void RunInOrder(std::size_t count, int jobs, const std::function<Result(std::size_t)>& work,
                const std::function<bool(std::size_t, Result&)>& deliver,
                const std::function<void()>& idle = {},
                std::chrono::milliseconds tick = std::chrono::milliseconds(100)) {
    struct Slot {
        std::optional<Result> result;
        std::exception_ptr failure;
        bool done = false;
    };
    const std::size_t threads = static_cast<std::size_t>(jobs < 1 ? 1 : jobs);
    const std::size_t window = threads * 4;
    std::vector<Slot> slots(window);
    std::mutex mutex;
    std::condition_variable startable, finished;
    std::size_t nextToStart = 0, nextToDeliver = 0;
    bool stopped = false;

    const auto worker = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            startable.wait(lock, [&] {
                return stopped || nextToStart >= count || nextToStart < nextToDeliver + window;
            });
            if (stopped || nextToStart >= count) return;
            const std::size_t i = nextToStart++;
            lock.unlock();
            Slot slot;
            try {
                slot.result.emplace(work(i));
            } catch (...) {
                slot.failure = std::current_exception();
            }
            slot.done = true;
            lock.lock();
            slots[i % window] = std::move(slot);
            finished.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (std::size_t t = 0; t < std::min(threads, count); ++t) pool.emplace_back(worker);

    const auto stop = [&] {
        {
            std::lock_guard lock(mutex);
            stopped = true;
        }
        startable.notify_all();
        for (std::thread& t : pool) t.join();
    };
    try {
        while (nextToDeliver < count) {
            Slot slot;
            {
                std::unique_lock lock(mutex);
                Slot& awaited = slots[nextToDeliver % window];
                if (!finished.wait_for(lock, tick, [&] { return awaited.done; })) {
                    lock.unlock();
                    if (idle) idle();
                    continue;
                }
                slot = std::move(awaited);
                awaited = Slot{};
                ++nextToDeliver;
            }
            startable.notify_all();
            if (slot.failure) std::rethrow_exception(slot.failure);
            if (!deliver(nextToDeliver - 1, *slot.result)) break;
        }
    } catch (...) {
        stop();
        throw;
    }
    stop();
}

}  // namespace quenbol::cli
