// Runs one piece of work on several threads at once (the calling thread among them) and waits for
// them all: the setup program rebuilds and checks files on every processor it has.
#pragma once

#include <cstddef>
#include <functional>

namespace velkan::runtime {

// The number of threads worth starting for work that keeps every processor busy (at most limit).
size_t UsefulThreadCount(size_t limit);

// Calls body(0) on this thread and body(1) .. body(count - 1) on new ones; returns when all have
// returned. body must not throw. When a thread cannot be started, its share runs here afterwards.
void RunOnThreads(size_t count, const std::function<void(size_t)>& body);

}  // namespace velkan::runtime
