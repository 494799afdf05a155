// The fuzzed entry points of the module, each one complete run of a fresh
// instance driven by the given bytes. A broken invariant aborts, which libFuzzer
// reports as a crash and the corpus replay as a failed test.
#pragma once

#include <cstddef>
#include <cstdint>

// Program and bank chunks through effSetChunk, then what the plug-in writes back.
void FuzzChunks(const std::uint8_t* data, std::size_t size);

// Dispatcher calls with arbitrary arguments (pointers always to memory a host
// would provide) interleaved with process calls, parameter calls and editor ticks.
void FuzzDispatcher(const std::uint8_t* data, std::size_t size);
