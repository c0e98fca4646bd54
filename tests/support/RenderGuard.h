#pragma once
// Test-only proof that a stretch of code runs without heap or lock traffic.
// While a RenderGuard lives on a thread, every malloc, calloc, realloc,
// aligned_alloc, posix_memalign, free, operator new/delete and
// pthread_mutex_lock made on that thread is counted. The interposer exists in
// plain builds only: sanitizers own those symbols, so there it counts nothing
// and `active()` is false.
namespace vyk::test {

class RenderGuard {
public:
    RenderGuard();
    ~RenderGuard();
    RenderGuard(const RenderGuard&) = delete;
    RenderGuard& operator=(const RenderGuard&) = delete;

    // Calls counted on this thread since this guard was made.
    long violations() const;
    static bool active();

private:
    long start_;
};

} // namespace vyk::test
