#pragma once

#include <cstdint>

// What the benchmark counts besides time. Both counters live in the benchmark binary only:
// it replaces the global operator new and stands in front of the GL library's draw entry
// points, so the game itself is measured unchanged.
namespace counters {

// Heap allocations through operator new on the calling thread while counting is on (other
// threads, such as the sound mixer's, are not counted).
void countAllocations(bool on);
std::uint64_t allocations();

// Draw calls (glDrawArrays and glDrawElements) that reached the GL library so far; every
// sf::RenderTarget::draw that draws anything issues exactly one.
std::uint64_t drawCalls();

// Finishes every queued GL command, so a timed frame includes the rasterising it caused.
void finishGl();

}  // namespace counters
