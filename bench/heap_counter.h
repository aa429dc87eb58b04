#pragma once
// Counts the live heap of a benchmark program exactly: every allocation carries its size in
// front. Included by one source file per program (each benchmark is one program), since it
// replaces the global operator new and delete.

#include <atomic>
#include <cstdlib>
#include <new>

namespace cindral::bench {

inline std::atomic<long long> g_live{0};
inline std::atomic<long long> g_peak{0};

inline void CountHeap(long long delta) {
    long long now = g_live.fetch_add(delta) + delta;
    long long peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

// Starts a new peak from what is live now; returns what is live.
inline long long RestartHeapPeak() {
    const long long live = g_live.load();
    g_peak = live;
    return live;
}

inline long long HeapPeak() {
    return g_peak.load();
}

}  // namespace cindral::bench

void* operator new(std::size_t size) {
    void* block = std::malloc(size + 16);
    if (!block) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    cindral::bench::CountHeap(static_cast<long long>(size));
    return static_cast<char*>(block) + 16;
}

void operator delete(void* p) noexcept {
    if (!p) return;
    void* block = static_cast<char*>(p) - 16;
    cindral::bench::CountHeap(-static_cast<long long>(*static_cast<std::size_t*>(block)));
    std::free(block);
}

void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
