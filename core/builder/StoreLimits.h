// What one setup program can hold: its file tables and data section give every size and offset
// in 32 bits, so neither one file nor the whole data stream may reach 4 GB.
#pragma once

#include <cstdint>
#include <string>

namespace velkan {

constexpr uint64_t kMaxStoredBytes = 0xFFFFFFFFull;

// Throws CFileException naming path when a file of length bytes is too large to store.
void CheckStoredFileLength(const std::string& path, uint64_t length);
// Throws CFileException naming the setup program when its data stream reaches length bytes.
void CheckDataStreamLength(const std::string& programPath, uint64_t length);

}  // namespace velkan
