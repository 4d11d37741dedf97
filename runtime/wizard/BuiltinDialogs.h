// The standard dialog templates the runtime programs carry for a package without its own block
// and for the uninstaller's windows: the Win32 blocks of runtime/WizardDialogs.cpp, written at
// build time. Each program links only the form it uses.
#pragma once

#include <cstdint>
#include <vector>

namespace velkan::runtime {

// The Win32 block (withBitmap: the wider frame with the bitmap's place), stored packed: for the
// setup program, which carries the decoder.
std::vector<uint8_t> BuiltinDialogBlock(bool withBitmap);

// The Win32 block without the bitmap, stored as it is: for the uninstaller, which has no decoder.
std::vector<uint8_t> BuiltinPlainDialogBlock();

}  // namespace velkan::runtime
