// The sections of one version (from CData): the version block 0x123E with its strings and wizard
// texts, and the INI (0x1240), registry (0x1241) and strings-into-files (0x1242) lists.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkan {

class CData;
class CSectionWriter;

// The text of a wizard slot as the package stores it: the title macro expanded, and the End
// page's View and Run texts adjusted to the version's files (see BuildVersionBlock).
std::string PackageText(const CData& version, int page, int text);

// The End page's View text is a format with one string argument, the file name. Only "%s" (with
// optional '-', width and precision) takes the argument, once; "%%" gives '%'; any further or
// other conversion is copied as written, so an author's text can never read a missing argument.
std::string FormatWithName(std::string_view format, std::string_view name);

// The body of section 0x123E: the 84-byte header, the strings, the text blocks of pages 0..10
// (page 8 with a count of 0: its texts travel in the uninstaller data block).
std::vector<uint8_t> BuildVersionBlock(const CData& version);

// The bodies of the list sections; nullopt when the list's count (its low 16 bits) is 0.
std::optional<std::vector<uint8_t>> BuildIniList(const CData& version);
std::optional<std::vector<uint8_t>> BuildRegList(const CData& version);
std::optional<std::vector<uint8_t>> BuildFileStringList(const CData& version);

// Writes 0x123E and the lists that are not empty.
void WriteVersionSections(CSectionWriter& writer, const CData& version);

}  // namespace velkan
