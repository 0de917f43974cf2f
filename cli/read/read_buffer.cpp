// Heap memory for small files, 2 MiB pages made present at once for big ones
// (heap memory only on Windows).
#include "cli/read/read_buffer.h"

#ifndef _WIN32
#include <sys/mman.h>
#endif

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace quenbol::cli {
namespace {

constexpr std::size_t kHugePage = 2 * 1024 * 1024;
constexpr std::size_t kMappedFrom = 1024 * 1024;
constexpr std::size_t kKeptUpTo = 256 * 1024;

#ifndef _WIN32
// `size` bytes (a multiple of 2 MiB) at a 2 MiB boundary, where the system
// can back them with huge pages: mapped 2 MiB larger, then trimmed to it.
char* MapPages(std::size_t size, bool atOnce) {
    void* raw = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start) munmap(raw, aligned - start);
    munmap(reinterpret_cast<void*>(aligned + size), start + kHugePage - aligned);
    char* pages = reinterpret_cast<char*>(aligned);
#ifdef MADV_HUGEPAGE
    madvise(pages, size, MADV_HUGEPAGE);  // refused where huge pages are off: 4 KiB ones then
#endif
#ifdef MADV_POPULATE_WRITE
    if (atOnce) madvise(pages, size, MADV_POPULATE_WRITE);  // Linux 5.14 on; before it the pages fault in as read
#endif
    return pages;
}
#endif

}  // namespace

ReadBuffer::~ReadBuffer() { Release(); }

void ReadBuffer::Release() {
#ifndef _WIN32
    if (mapped_) {
        munmap(data_, capacity_);
    } else {
        std::free(data_);
    }
#else
    std::free(data_);
#endif
    data_ = nullptr;
    capacity_ = 0;
    mapped_ = false;
}

void ReadBuffer::Reserve(std::size_t size, std::size_t kept) {
    if (size <= capacity_) return;
#ifndef _WIN32
    const bool mapped = size >= kMappedFrom;
    const std::size_t capacity = mapped ? (size + kHugePage - 1) / kHugePage * kHugePage : size;
    char* data = mapped ? MapPages(capacity, present_ == Present::AtOnce) : static_cast<char*>(std::malloc(capacity));
#else
    const bool mapped = false;
    const std::size_t capacity = size;
    char* data = static_cast<char*>(std::malloc(capacity));
#endif
    if (!data) throw std::bad_alloc();
    if (kept > 0) std::memcpy(data, data_, kept);
    Release();
    data_ = data;
    capacity_ = capacity;
    mapped_ = mapped;
}

void ReadBuffer::Trim() {
    if (capacity_ > kKeptUpTo) Release();
}

}  // namespace quenbol::cli
