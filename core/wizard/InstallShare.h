// How far an install has come, for the wizard's progress bar. Each file goes through two phases,
// rebuilt and checked, then put in place; the bar shows the share of both phases' work done.
// A file's work in a phase is its bytes plus one cluster: placing a file costs at least a cluster
// whatever its size, so a tree of thousands of small files moves the bar file by file instead of
// standing still while it is written.
#pragma once

#include <cstdint>

namespace velkan {

// The bar's full range: a position is in thousandths of the whole install.
constexpr uint32_t kInstallShareRange = 1000;

// A file of the given size's work in one phase.
uint64_t InstallWork(uint64_t bytes);

// The bar's position for done units of work out of total (both phases), in 0..kInstallShareRange:
// never past its end when the run reports more than was counted, full when there is nothing to do.
uint32_t InstallShare(uint64_t done, uint64_t total);

}  // namespace velkan
