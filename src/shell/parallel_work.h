// Spreads a batch of independent computations over the processor's cores.
#pragma once

#include <cstddef>

using ParallelWork = void (*)(std::size_t begin, std::size_t end, void* context);

// Runs work over the items [0, count) in a few contiguous parts, one per core, and returns when all
// are done. Work must be pure computation: the host serves its suites on the calling thread only.
// Small batches, and parts no thread could be started for, run on the calling thread.
void RunInParallel(std::size_t count, ParallelWork work, void* context);
