// Reading and writing whole project files: binary (.vkp, and .vkt read the same way) or, for a
// name ending in ".json", the project as text (ProjectJson.h).
#pragma once

#include <string>
#include <vector>

#include "core/model/CDataArray.h"

namespace velkan {

// The file's bytes as the project they describe: the project is reset, then read. Throws
// CArchiveException ("Unexpected file format.", "Incorrect version!", "Incorrect version").
CDataArray ReadProject(const unsigned char* data, size_t size);
// Whether path names a project kept as text: its name ends in ".json" or ".jsonc", in any case.
bool IsJsonProjectPath(const std::string& path);

// Reads a project file, binary or text by its name. Throws CFileException, CArchiveException or
// (for text) CJsonException.
CDataArray LoadProject(const std::string& path);

// The project in the newest schema.
std::vector<unsigned char> WriteProject(const CDataArray& project);
// Writes a project file, binary or text by its name, through a temporary file, so the previous
// file survives any failure.
void SaveProject(const CDataArray& project, const std::string& path);

// A new document: the project reset, with one default version.
CDataArray NewProject();

}  // namespace velkan
