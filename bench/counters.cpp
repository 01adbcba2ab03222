#include "counters.hpp"

#include <GL/gl.h>
#include <dlfcn.h>

#include <cstdlib>
#include <new>

namespace {
thread_local bool counting = false;
thread_local std::uint64_t allocationCount = 0;
std::uint64_t drawCallCount = 0;

void* allocate(std::size_t size) {
    if (counting) ++allocationCount;
    if (size == 0) size = 1;
    void* p = std::malloc(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    if (counting) ++allocationCount;
    const std::size_t a = static_cast<std::size_t>(alignment);
    const std::size_t rounded = (size + a - 1) / a * a;
    void* p = std::aligned_alloc(a, rounded == 0 ? a : rounded);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

// The GL library's own entry point, found behind this binary's definition.
template <typename Function>
Function nextDefinition(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}
}  // namespace

namespace counters {
void countAllocations(bool on) {
    counting = on;
}
std::uint64_t allocations() {
    return allocationCount;
}
std::uint64_t drawCalls() {
    return drawCallCount;
}
void finishGl() {
    glFinish();
}
}  // namespace counters

// The default operator delete frees with std::free, which matches both allocators here; the
// nothrow and array forms of the library call these.
void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocateAligned(size, alignment);
}

// SFML's graphics library calls these through the dynamic linker, which finds this binary's
// exported definitions first.
extern "C" void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    using Function = void (*)(GLenum, GLint, GLsizei);
    static const Function real = nextDefinition<Function>("glDrawArrays");
    ++drawCallCount;
    real(mode, first, count);
}

extern "C" void glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    using Function = void (*)(GLenum, GLsizei, GLenum, const void*);
    static const Function real = nextDefinition<Function>("glDrawElements");
    ++drawCallCount;
    real(mode, count, type, indices);
}
