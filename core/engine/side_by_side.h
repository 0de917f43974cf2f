// Two parts of one count at once: the second on a thread of its own, the
// first on the caller's.
#pragma once

#include <exception>
#include <thread>

namespace quenbol {

// Returns once both parts are done. An exception from either reaches the
// caller, the first's when both throw.
template <class First, class Second>
void RunSideBySide(First&& first, Second&& second) {
    std::exception_ptr firstFailed, secondFailed;
    std::thread helper([&] {
        try {
            second();
        } catch (...) {
            secondFailed = std::current_exception();
        }
    });
    try {
        first();
    } catch (...) {
        firstFailed = std::current_exception();
    }
    helper.join();
    if (firstFailed) std::rethrow_exception(firstFailed);
    if (secondFailed) std::rethrow_exception(secondFailed);
}

}  // namespace quenbol
