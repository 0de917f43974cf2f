// Global operator new/delete with a size header, keeping a running and a
// peak byte count, atomic: the engine scans a long text on two threads.
#include "bench/memory_meter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> held{0};
std::atomic<std::size_t> peak{0};
std::size_t heldAtReset = 0;
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t n) {
    auto* block = static_cast<unsigned char*>(std::malloc(n + kHeader));
    if (!block) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = n;
    const std::size_t now = held.fetch_add(n) + n;
    std::size_t before = peak.load();
    while (now > before && !peak.compare_exchange_weak(before, now)) {
    }
    return block + kHeader;
}

void Release(void* p) {
    if (!p) return;
    auto* block = static_cast<unsigned char*>(p) - kHeader;
    held.fetch_sub(*reinterpret_cast<std::size_t*>(block));
    std::free(block);
}

}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

namespace quenbol::bench {

void ResetPeakMemory() {
    heldAtReset = held.load();
    peak.store(heldAtReset);
}

std::size_t PeakExtraMemory() { return peak.load() - heldAtReset; }

}  // namespace quenbol::bench
