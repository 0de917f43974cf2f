// Memory for the bytes of a file as it is read, and for a text as it is
// decoded, kept from text to text.
#pragma once

#include <cstddef>

namespace quenbol::cli {

// A big file's memory is taken from the system in 2 MiB pages where it gives
// them, and made present at once: faulting in 4 KiB pages one at a time as
// the read fills them costs several times the read itself (10 MB: about
// 15 ms against 2). Smaller ones come from the heap, uninitialised (every
// size on Windows). Memory that is written only in part (a decoded text,
// shorter than the room it is given) is not made present at once: each
// 2 MiB page comes in as it is first written, by the thread that writes it.
class ReadBuffer {
public:
    enum class Present { AtOnce, AsWritten };
    explicit ReadBuffer(Present present = Present::AtOnce) : present_(present) {}
    ~ReadBuffer();
    ReadBuffer(const ReadBuffer&) = delete;
    ReadBuffer& operator=(const ReadBuffer&) = delete;

    char* data() const { return data_; }
    std::size_t capacity() const { return capacity_; }

    // Room for at least `size` bytes, with the first `kept` bytes kept.
    void Reserve(std::size_t size, std::size_t kept);
    // Gives back memory bigger than thousands of small texts need, after a
    // rare big one.
    void Trim();

private:
    void Release();
    char* data_ = nullptr;
    std::size_t capacity_ = 0;
    bool mapped_ = false;
    Present present_;
};

}  // namespace quenbol::cli
