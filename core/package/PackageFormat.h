// The numbers of the setup-program layout shared by the writer and the reader: section ids, flag
// bits, stub markers and limits. A setup program is the stub image, then tagged sections (8-byte
// header: u16 id, u16 flags, u32 body size), the last of which is the data section.
#pragma once

#include <array>
#include <cstdint>

namespace velkan::package {

// Top-level section ids.
constexpr uint16_t kProjectFlags = 0x1234;
constexpr uint16_t kWizardBitmap = 0x1235;
constexpr uint16_t kBackBitmap = 0x1236;
constexpr uint16_t kBackTitle = 0x1237;
constexpr uint16_t kAuxFile = 0x1238;
constexpr uint16_t kDialogBlock = 0x1239;
constexpr uint16_t kFileTable = 0x123A;
constexpr uint16_t kTestSection = 0x123B;
constexpr uint16_t kTitleStyle = 0x123D;
constexpr uint16_t kVersionBlock = 0x123E;
constexpr uint16_t kUninstallerProgram = 0x123F;
constexpr uint16_t kIniEntries = 0x1240;
constexpr uint16_t kRegEntries = 0x1241;
constexpr uint16_t kFileStrings = 0x1242;
constexpr uint16_t kDataSection = 0x7F7F;

// The same header is reused inside the uninstaller data block, where the ids mean other things.
constexpr uint16_t kUninstTexts = 0x1234;
constexpr uint16_t kUninstRegKeys = 0x1237;
constexpr uint16_t kUninstFiles = 0x1239;
constexpr uint16_t kUninstEnd = 0x7F7F;

constexpr uint16_t kSectionPacked = 1;
constexpr uint32_t kSectionHeaderSize = 8;
// Bodies from this size on are packed.
constexpr uint32_t kPackThreshold = 8;

// Bits of the project flags (section 0x1234).
constexpr uint32_t kFlagFullScreen = 0x01;
constexpr uint32_t kFlagExclusive = 0x10;

// Stub markers: a u16 0x7777 (two lead bytes) followed by a 4-byte tag; the u32 slot follows the
// 6 bytes. Searched by FindMarker (StubMarker.h).
constexpr uint8_t kMarkerLead = 0x77;
using MarkerTag = std::array<uint8_t, 4>;
constexpr MarkerTag kSizeMarker = {0x67, 0x54, 0x29, 0x48};
constexpr MarkerTag kKeyMarker = {0x43, 0x56, 0x72, 0x83};
constexpr uint32_t kMarkerSize = 6;
constexpr uint32_t kSlotSize = 4;
// The package key: the stub's key slot XOR this value, or the fallback when the stub has no slot.
constexpr uint32_t kKeySlotXor = 0x5D1E9A37;
constexpr uint32_t kKeyFallback = 0x6B2C4F18;

// Version block (section 0x123E): a header of these fields, then the strings and text blocks
// that its offset fields point at (0: absent; nothing can start inside the header).
enum VersionField : uint32_t {
    kVersionOptionBits = 0,  // u16, the low 16 bits of m_nDirFlags
    kVersionReserved = 2,    // u16, 0
    kVersionTitle = 4,       // u32 offsets of Z-strings from here on, except the root number
    kVersionName = 8,
    kVersionInstallDir = 12,
    kVersionDirRootKey = 16,  // the registry root number itself, 0..3
    kVersionDirKey = 20,
    kVersionDirSubkey = 24,
    kVersionIniFile = 28,
    kVersionIniSection = 32,
    kVersionIniEntry = 36,
    kVersionPageOffsets = 40,  // kVersionTextPages u32 offsets of text blocks, page 0 first
};
constexpr int kVersionTextPages = 11;
constexpr uint32_t kVersionHeaderSize = kVersionPageOffsets + 4 * kVersionTextPages;  // 84

// The field holding the offset of a page's text block.
constexpr uint32_t VersionPageField(int page)
{
    return kVersionPageOffsets + 4 * static_cast<uint32_t>(page);
}

// Strings into files (0x1242): the offset of an entry that writes its text where its byte pattern
// is found rather than at a number (its pattern follows the strings).
constexpr uint32_t kOffsetPattern = 0xFFFFFFFF;

// File entries.
constexpr uint32_t kEntryFixedSize = 38;
constexpr uint32_t kEntryVersionBlockSize = 20;
constexpr uint32_t kEntryTimesBlockSize = 24;
constexpr uint32_t kEntryStringCount = 6;
constexpr uint8_t kEntryUninstaller = 0x01;
constexpr uint8_t kEntryHasVersion = 0x02;
constexpr uint8_t kEntryHasTranslation = 0x04;
constexpr uint8_t kEntryHasTimes = 0x08;
constexpr uint8_t kEntryDelta = 0x10;
constexpr uint8_t kEntryExternal = 0x20;
// The data offset of an entry whose file stays outside the setup program.
constexpr uint32_t kOffsetExternal = 0xFFFFFFFF;
// Windows 3.1 file tables keep every entry within one 64 KB page.
constexpr uint32_t kWin31PageMask = 0xFFFF0000;

// Files are read and checksummed in pieces of this size (a multiple of 4).
constexpr uint32_t kFilePiece = 32768;

// Resource numbers of the runtime programs and blocks.
constexpr int kStubWin32 = 500;
constexpr int kStubWin31 = 501;
constexpr int kDialogsWin32 = 502;
constexpr int kDialogsWin32Bitmap = 503;
constexpr int kDialogsWin31 = 504;
constexpr int kDialogsWin31Bitmap = 505;
constexpr int kUninstallerWin31 = 506;
constexpr int kUninstallerWin32 = 507;

// Registry roots stored in the uninstaller data block.
constexpr uint32_t kHkeyClassesRoot = 0x80000000;
constexpr uint32_t kHkeyCurrentUser = 0x80000001;
constexpr uint32_t kHkeyLocalMachine = 0x80000002;
constexpr uint32_t kHkeyUsers = 0x80000003;

}  // namespace velkan::package
