// Work on many items in parallel, results handed over in item order: the
// output of a run is the same whatever the number of threads and the timing.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace quenbol::cli {

// Runs work(i, w) for i = 0 to count - 1 on `jobs` threads and calls
// deliver(i, result) in order of i, each as soon as it and all before it are
// done. Whichever thread finishes the item awaited delivers it (and any done
// after it), so no result waits for a hand-over between threads; deliver is
// never called twice at once. Items are started only a short way ahead of
// the one awaited (a few per thread), so the work in flight, and the results
// held, stay bounded whatever the count. `deliver` returning false stops the
// run: no further item is started. idle() is called by the delivering
// thread each time it has delivered all that is done (a moment to flush
// output), and by the calling thread about every `tick` while it waits;
// never while deliver runs. An exception
// thrown by work(i) or by deliver is thrown again here once the threads have
// stopped; no item after i is delivered. w is the worker (0 to jobs - 1)
// running the item: what work keeps per worker is never used by two threads
// at once, without thread-local storage (whose clean-up the 32-bit Windows
// runtime gets wrong).
template <class Result>
void RunInOrder(std::size_t count, int jobs, const std::function<Result(std::size_t, std::size_t)>& work,
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
    std::mutex mutex;             // guards everything below
    std::mutex deliveryMutex;     // one deliver or idle at a time
    std::condition_variable startable, settled;
    std::size_t nextToStart = 0, nextToDeliver = 0;
    bool delivering = false, stopped = false;
    std::exception_ptr failure;

    // With `lock` held: delivers the awaited items that are done, unless
    // another thread is at it already.
    const auto deliverReady = [&](std::unique_lock<std::mutex>& lock) {
        if (delivering) return;
        delivering = true;
        const auto awaitedDone = [&] {
            return !stopped && nextToDeliver < count && slots[nextToDeliver % window].done;
        };
        do {
            while (awaitedDone()) {
                Slot slot = std::move(slots[nextToDeliver % window]);
                slots[nextToDeliver % window] = Slot{};
                const std::size_t i = nextToDeliver++;
                lock.unlock();
                bool goOn = false;
                std::exception_ptr thrown = slot.failure;
                if (!thrown) {
                    try {
                        std::lock_guard one(deliveryMutex);
                        goOn = deliver(i, *slot.result);
                    } catch (...) {
                        thrown = std::current_exception();
                    }
                }
                lock.lock();
                if (thrown && !failure) failure = thrown;
                if (!goOn) stopped = true;
            }
            // Waiting workers are woken once for the whole run delivered, not
            // for each item: a worker woken while this thread delivers tends to
            // be put on its processor, and the two then take turns on one
            // (10,000 texts of 1 KB: 8,000 thread switches, a quarter slower).
            lock.unlock();
            startable.notify_all();
            if (idle) {
                std::lock_guard one(deliveryMutex);
                idle();
            }
            lock.lock();
        } while (awaitedDone());  // another thread's item may have come meanwhile
        delivering = false;
        if (stopped || nextToDeliver >= count) settled.notify_all();  // the run is over
    };

    const auto worker = [&](std::size_t me) {
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
                slot.result.emplace(work(i, me));
            } catch (...) {
                slot.failure = std::current_exception();
            }
            slot.done = true;
            lock.lock();
            slots[i % window] = std::move(slot);
            deliverReady(lock);
        }
    };
    std::vector<std::thread> pool;
    for (std::size_t t = 0; t < std::min(threads, count); ++t) pool.emplace_back(worker, t);

    {
        std::unique_lock lock(mutex);
        const auto over = [&] { return !delivering && (stopped || nextToDeliver >= count); };
        while (!over()) {
            if (settled.wait_for(lock, tick, over)) break;
            lock.unlock();
            if (idle) {
                std::lock_guard one(deliveryMutex);
                idle();
            }
            lock.lock();
        }
        stopped = true;
    }
    startable.notify_all();
    for (std::thread& t : pool) t.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace quenbol::cli
