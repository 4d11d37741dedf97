// Setup programs the build refuses to write, for the runtime's own defences against them: entry
// names taken as listed, without the build's checks (a name leaving the installation folder, a
// device name Windows reserves).
#pragma once

#include <filesystem>

#include "core/model/CDataArray.h"

namespace velkan::test {

// Writes a project of one version without an uninstaller to output (host path): every listed
// file is packed whole from the version's m_strSourceDir (a host folder ending in '/') joined
// with its entry path, byte for byte as listed.
void WriteHostileSetup(const CDataArray& project, const std::filesystem::path& output);

}  // namespace velkan::test
