// The sections that carry the project-wide settings (from CDataArray): the dialog-template block,
// the package flags, the background title and its style, the bitmaps and the auxiliary file, and
// the uninstaller program.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/wizard/WizardBitmap.h"

namespace velkan {

class CDataArray;
class CSectionWriter;
class IByteSource;

// Reads a file named by a project path; nullopt when it cannot be opened or read.
using ReadFileProc = std::function<std::optional<std::vector<uint8_t>>(const std::string& path)>;

// The default reader: the Windows-1252 path converted to the host's names, read whole.
std::optional<std::vector<uint8_t>> ReadProjectFile(const std::string& path);

// Opens a file named by a project path for reading and sets length to its size; null when it
// cannot be opened. Files that may be large (the auxiliary file) are packed from it in pieces.
using OpenFileProc =
    std::function<std::unique_ptr<IByteSource>(const std::string& path, uint64_t& length)>;

// The default opener: the Windows-1252 path converted to the host's names.
std::unique_ptr<IByteSource> OpenProjectFile(const std::string& path, uint64_t& length);

// The u32 of section 0x1234: bit 0 full screen, bit 4 mutually exclusive versions.
uint32_t ProjectFlags(const CDataArray& project);
// True when the background title is carried (and so enters the package key).
bool HasBackTitle(const CDataArray& project);

// Writes the pre-packed dialog-template block (a resource 502-505, already a packed body) as
// section 0x1239. Returns false, writing nothing, when there is no block.
bool WriteDialogBlock(CSectionWriter& writer, const std::vector<uint8_t>* block);

// Writes 0x1234 and, as their conditions hold, 0x1237, 0x123D, 0x1235, 0x1236, 0x1238. A file that
// cannot be read, is empty or fails the bitmap test is left out silently; a file over its
// section's cap (SectionLimits.h) throws CFileException. The bitmaps are read whole (readFile),
// the auxiliary file is packed streamed (openFile), never held.
void WriteProjectSections(CSectionWriter& writer, const CDataArray& project,
                          const ReadFileProc& readFile = ReadProjectFile,
                          const OpenFileProc& openFile = OpenProjectFile);

// Patches the uninstaller executable's size slot (unless the caller did so already, before
// signing it) and writes it, packed, as section 0x123F. Returns the bytes the section added.
uint64_t WriteUninstallerProgram(CSectionWriter& writer, std::vector<uint8_t> executable,
                                 bool patchSizeSlot = true);

}  // namespace velkan
