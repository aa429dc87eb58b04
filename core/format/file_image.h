#pragma once
// Memory for a whole file read at once. A large block is mapped with huge pages where the
// system offers them and is not zero-filled (the read overwrites every byte): reading a
// 10 MB log this way costs a third of what a plain vector costs, most of which was page
// faults and clearing memory.

#include <sys/mman.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace cindral {

// Bytes of file images mapped outside the heap and alive now (the memory figures add them
// to the heap's).
inline std::atomic<int64_t> g_mapped_file_image_bytes{0};

template <class T>
class FileImageAllocator {
  public:
    using value_type = T;

    FileImageAllocator() = default;
    template <class U>
    FileImageAllocator(const FileImageAllocator<U>&) {}

    T* allocate(size_t n) {
        const size_t bytes = n * sizeof(T);
        if (bytes < kMappedFrom) return static_cast<T*>(::operator new(bytes));
        void* p = ::mmap(nullptr, Rounded(bytes), PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        ::madvise(p, Rounded(bytes), MADV_HUGEPAGE);  // advice only; fine if refused
        g_mapped_file_image_bytes += int64_t(bytes);
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t n) {
        const size_t bytes = n * sizeof(T);
        if (bytes < kMappedFrom)
            ::operator delete(p);
        else {
            ::munmap(p, Rounded(bytes));
            g_mapped_file_image_bytes -= int64_t(bytes);
        }
    }
    // Elements are default-initialised: bytes about to be read over stay as the kernel
    // gave them (zero), without a pass of their own.
    template <class U>
    void construct(U* p) {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    template <class U>
    bool operator==(const FileImageAllocator<U>&) const {
        return true;
    }
    template <class U>
    bool operator!=(const FileImageAllocator<U>&) const {
        return false;
    }

  private:
    static constexpr size_t kHugePage = size_t(2) << 20;
    static constexpr size_t kMappedFrom = size_t(1) << 20;
    static size_t Rounded(size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }
};

// The bytes of a file read whole.
using FileBytes = std::vector<uint8_t, FileImageAllocator<uint8_t>>;

}  // namespace cindral
