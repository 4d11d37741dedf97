// Test-only assembly of real setup programs from a project, with the package writer's own
// pieces (stub, dialog block, project sections, uninstaller, version sections, file tables, data
// section), until the build driver exists. It follows the build's decisions: for each path and
// version, data equal to an earlier version's plain copy is taken over, different data becomes
// a delta against it, anything else is packed whole or, kept external, not stored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/model/CDataArray.h"

namespace velkan::test {

class CTestSetupBuilder {
public:
    // Writes the setup program for project to outputPath (host path). Source files are read from
    // each version's m_strSourceDir (a host directory ending in '/') joined with the entry path.
    static void Build(const CDataArray& project, const std::string& outputPath);
};

}  // namespace velkan::test
