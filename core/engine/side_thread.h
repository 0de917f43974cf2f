// Two parts of one count at once: the second on a thread kept for such
// parts, the first on the caller's.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace quenbol {

// A thread for the second parts of counts, started at its first part and
// kept until this is destroyed: handing a part to a waiting thread takes
// about a fifth of a millisecond under Wine, starting and joining a thread
// about a millisecond and a half. Used by one count at a time.
class SideThread {
public:
    SideThread() = default;
    ~SideThread();
    SideThread(const SideThread&) = delete;
    SideThread& operator=(const SideThread&) = delete;

    // Returns once both parts are done. An exception from either reaches the
    // caller, the first's when both throw.
    template <class First, class Second>
    void RunSideBySide(First&& first, Second&& second) {
        Hand(std::function<void()>(std::forward<Second>(second)));
        std::exception_ptr firstFailed;
        try {
            first();
        } catch (...) {
            firstFailed = std::current_exception();
        }
        const std::exception_ptr secondFailed = WaitForPart();
        if (firstFailed) std::rethrow_exception(firstFailed);
        if (secondFailed) std::rethrow_exception(secondFailed);
    }

    // Starts the thread now, if it is not running yet, instead of at the
    // first part. Throws if it cannot start.
    void Start();

private:
    void StartLocked();
    void Hand(std::function<void()> part);
    std::exception_ptr WaitForPart();  // what the part threw, if anything
    void Serve();                      // the thread's loop

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> part_;  // handed over, not yet taken
    bool busy_ = false;           // a part handed over and not yet done
    bool quit_ = false;
    std::exception_ptr failed_;
    std::thread thread_;
};

}  // namespace quenbol
