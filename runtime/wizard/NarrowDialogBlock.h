// The dialog-template block of a Windows 3.1-layout package (12 u32 offsets, then 16-bit
// templates) turned into the Win32 block CDialogBlock reads, so both layouts share one wizard.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace velkan::runtime {

// The Win32 block of an 8-bit block: every template widened, laid out one after another; nullopt
// when the table or any template is damaged. The 8-bit form has no progress bar: the wizard's
// progress control (kIdProgress) is a black-framed static there, and becomes the progress bar.
std::optional<std::vector<uint8_t>> WidenDialogBlock(const std::vector<uint8_t>& block);

// The package's block in the form CDialogBlock reads: widened in the Windows 3.1 layout's
// programs, as it is otherwise. Empty (which CDialogBlock refuses) when it cannot be widened.
std::vector<uint8_t> PackageDialogBlock(const std::vector<uint8_t>& block);

}  // namespace velkan::runtime
