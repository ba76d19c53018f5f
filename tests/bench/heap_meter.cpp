#include "heap_meter.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

// glibc lets a program replace malloc by defining these; its own are still reachable
// as __libc_*. Blocks are measured by their usable size, on the way in and out alike.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
}

namespace {

std::atomic<long long> held{0};
std::atomic<long long> base{0};
std::atomic<long long> peak{0};
std::atomic<std::size_t> largest{0};

void counted(void* p, std::size_t asked) {
    if (!p) return;
    const long long now = held += static_cast<long long>(malloc_usable_size(p));
    long long top = peak.load(std::memory_order_relaxed);
    while (now > top && !peak.compare_exchange_weak(top, now)) {}
    std::size_t big = largest.load(std::memory_order_relaxed);
    while (asked > big && !largest.compare_exchange_weak(big, asked)) {}
}

void uncounted(void* p) {
    if (p) held -= static_cast<long long>(malloc_usable_size(p));
}

}  // namespace

extern "C" {
void* malloc(std::size_t size) {
    void* p = __libc_malloc(size);
    counted(p, size);
    return p;
}
void* calloc(std::size_t count, std::size_t size) {
    void* p = __libc_calloc(count, size);
    counted(p, count * size);
    return p;
}
void* realloc(void* old, std::size_t size) {
    uncounted(old);
    void* p = __libc_realloc(old, size);
    if (p) counted(p, size);
    else if (old && size) counted(old, 0);  // a failed realloc keeps the old block
    return p;
}
void* memalign(std::size_t alignment, std::size_t size) {
    void* p = __libc_memalign(alignment, size);
    counted(p, size);
    return p;
}
void* aligned_alloc(std::size_t alignment, std::size_t size) { return memalign(alignment, size); }
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    void* p = memalign(alignment, size);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}
void free(void* p) {
    uncounted(p);
    __libc_free(p);
}
}

namespace kadrix::bench {

HeapMeter::HeapMeter() {
    base = held.load();
    peak = base.load();
    largest = 0;
}

HeapUse HeapMeter::use() const {
    return {static_cast<std::size_t>(std::max(0LL, peak.load() - base.load())), largest.load()};
}

}  // namespace kadrix::bench
