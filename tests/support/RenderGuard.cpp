#include "RenderGuard.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <new>
#include <pthread.h>

namespace {
thread_local bool tArmed __attribute__((tls_model("initial-exec"))) = false;
std::atomic<long> gCount{0};
} // namespace

namespace vyk::test {
RenderGuard::RenderGuard() : start_(gCount.load()) { tArmed = true; }
RenderGuard::~RenderGuard() { tArmed = false; }
long RenderGuard::violations() const { return gCount.load() - start_; }
#ifdef VYK_SANITIZED
bool RenderGuard::active() { return false; }
#else
bool RenderGuard::active() { return true; }
#endif
} // namespace vyk::test

#ifndef VYK_SANITIZED
namespace {
inline void note() {
    if (tArmed) gCount.fetch_add(1, std::memory_order_relaxed);
}
} // namespace

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
int vyk_real_mutex_lock(pthread_mutex_t*);
__asm__(".symver vyk_real_mutex_lock, __pthread_mutex_lock@GLIBC_2.2.5");

void* malloc(size_t n) {
    note();
    return __libc_malloc(n);
}
void* calloc(size_t n, size_t s) {
    note();
    return __libc_calloc(n, s);
}
void* realloc(void* p, size_t n) {
    note();
    return __libc_realloc(p, n);
}
void free(void* p) {
    if (p) note();
    __libc_free(p);
}
void* aligned_alloc(size_t a, size_t n) {
    note();
    return __libc_memalign(a, n);
}
void* memalign(size_t a, size_t n) {
    note();
    return __libc_memalign(a, n);
}
int posix_memalign(void** out, size_t a, size_t n) {
    note();
    if (a < sizeof(void*) || (a & (a - 1)) != 0) return EINVAL;
    void* p = __libc_memalign(a, n);
    if (!p && n) return ENOMEM;
    *out = p;
    return 0;
}
int pthread_mutex_lock(pthread_mutex_t* m) {
    note();
    return vyk_real_mutex_lock(m);
}
}

// operator new/delete route through the counted malloc and free.
void* operator new(std::size_t n) {
    if (void* p = malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new(std::size_t n, std::align_val_t a) {
    std::size_t al = static_cast<std::size_t>(a);
    if (al < sizeof(void*)) al = sizeof(void*);
    void* p = nullptr;
    if (posix_memalign(&p, al, n ? n : 1) != 0) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t n, std::align_val_t a) { return operator new(n, a); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return malloc(n ? n : 1); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return malloc(n ? n : 1); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, std::size_t) noexcept { free(p); }
void operator delete[](void* p, std::size_t) noexcept { free(p); }
void operator delete(void* p, std::align_val_t) noexcept { free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { free(p); }
#endif
