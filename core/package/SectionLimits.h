// How large a section of a setup program may unpack to. A packed body states its unpacked size
// before any byte is decoded; a small file can state gigabytes. Every section the reader holds
// is checked against a cap for its kind, and all of them together against one total, before
// anything is unpacked, so reading any setup program holds a bounded amount of memory.
#pragma once

#include <cstdint>

#include "core/package/PackageFormat.h"

namespace velkan::package {

// All section bodies held at once (tables, texts, bitmaps, the uninstaller program).
constexpr uint64_t kMaxHeldSectionBytes = 256ull << 20;

// True for a section whose body the reader streams when asked for it instead of holding it (the
// auxiliary file: it can be large and nothing that reads a setup program uses its bytes).
constexpr bool IsStreamedSection(uint16_t id)
{
    return id == kAuxFile;
}

// The largest unpacked body accepted for a section id, or 0 for an id the reader does not use
// (such a section is listed but never unpacked).
constexpr uint32_t MaxUnpackedSectionSize(uint16_t id)
{
    switch (id) {
    case kProjectFlags:
    case kBackTitle:
    case kTitleStyle:
    case kTestSection: return 64u << 10;  // a few numbers or one string
    case kDialogBlock: return 4u << 20;   // dialog templates: a few KB
    case kWizardBitmap:
    case kBackBitmap: return 32u << 20;  // a full-screen 32-bit bitmap at 2560 x 1600 is 16 MB
    case kUninstallerProgram: return 16u << 20;  // our uninstaller is a few hundred KB
    case kAuxFile:
    case kVersionBlock:
    case kIniEntries:
    case kRegEntries:
    case kFileStrings:
    case kFileTable: return 64u << 20;  // author data: a table of 100,000 files is about 10 MB
    default: return 0;
    }
}

}  // namespace velkan::package
