// How far an install has come, for the wizard's progress bar. Each file goes through two phases,
// rebuilt and checked, then put in place; the bar shows the share of both phases' work done, each
// file's work in each phase estimated from its size as the phases' times go under Wine. Checking
// costs about its bytes (1,200 files of 512 bytes: 97 ms; 3,768 files of 33 KB on average:
// 1.1 s); putting in place costs about a millisecond per file whatever its size (929 ms and 4.0 s
// for the same trees), its bytes little: written from memory or moved from staging. Counted in
// bytes alone, the bar stood at half way when the first file was put in place.
#pragma once

#include <cstdint>

namespace velkan {

// The bar's full range: a position is in thousandths of the whole install.
constexpr uint32_t kInstallShareRange = 1000;

// A file of the given size's work in each phase, in the same units.
uint64_t CheckWork(uint64_t bytes);
uint64_t PlaceWork(uint64_t bytes);

// The bar's position for done units of work out of total (both phases), in 0..kInstallShareRange:
// never past its end when the run reports more than was counted, full when there is nothing to do.
uint32_t InstallShare(uint64_t done, uint64_t total);

}  // namespace velkan
