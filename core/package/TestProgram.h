// The test program of the wizard preview: the stub, the dialog-template block, the project
// sections, a test section naming the start page and the current version, every version's
// sections and an empty data section. It carries no uninstaller, file table or file data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/package/ProjectSections.h"

namespace velkan {

class CDataArray;
class CSectionWriter;

// The runtime's page code for an editor page number (a TextPage, or kNoStartPage).
uint16_t TestPageCode(int startPage);

// Writes the test program. Returns false, having written nothing, when the stub is empty. Without
// a dialog-template block the block and the project sections are left out.
bool WriteTestProgram(CSectionWriter& writer, const CDataArray& project,
                      const std::vector<uint8_t>& stub, const std::vector<uint8_t>* dialogBlock,
                      int startPage, const ReadFileProc& readFile = ReadProjectFile);

// Replaces the file at path (a host path) by a test program. Returns false, doing nothing, when
// the path is empty or an earlier file there cannot be deleted (a test program still running from
// it); returns false too when the stub is empty, leaving the created file empty. File errors
// while creating or writing throw CFileException.
bool WriteTestProgramFile(const std::string& path, const CDataArray& project,
                          const std::vector<uint8_t>& stub, const std::vector<uint8_t>* dialogBlock,
                          int startPage, const ReadFileProc& readFile = ReadProjectFile);

}  // namespace velkan
