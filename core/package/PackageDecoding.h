// Decoders of the structures inside unpacked section bodies. Each checks every count, offset and
// string against the body and throws CPackageException naming the structure and the offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/package/PackageRecords.h"

namespace velkan {

VersionBlockRecord DecodeVersionBlock(const uint8_t* body, size_t size);
std::vector<IniRecord> DecodeIniList(const uint8_t* body, size_t size);
std::vector<RegRecord> DecodeRegList(const uint8_t* body, size_t size);
std::vector<FileStringRecord> DecodeFileStringList(const uint8_t* body, size_t size);
// The entries of a file table; each entry's size field must cover its contents and lie inside
// the table, and the next entry starts where the size says.
std::vector<CFileEntry> DecodeFileTable(const uint8_t* body, size_t size);
TitleStyleRecord DecodeTitleStyle(const uint8_t* body, size_t size);
UninstallerDataRecord DecodeUninstallerData(const uint8_t* block, size_t size);

}  // namespace velkan
