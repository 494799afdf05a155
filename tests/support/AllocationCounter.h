// Counts every allocation of the test program: AllocationCounter.cpp replaces the
// global operator new. Link it only into a program of its own, and not under the
// sanitizers, which replace the operator themselves.
#pragma once

// The number of allocations the calling thread has made so far.
long AllocationCount();
