// Fake runtime resources carrying the stub markers, scratch folders, and a reader for the setup
// programs the tests build; the scripted person, report and disks come from tests/support.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/compress/CCompressor.h"
#include "core/package/CMemoryPackageInput.h"
#include "core/package/CPackageReader.h"
#include "core/package/PackageFormat.h"
#include "core/res/RuntimeResources.h"
#include "core/stream/CMemorySink.h"
#include "tests/core/package/PackageTestSupport.h"
#include "tests/support/LocalDisks.h"
#include "tests/support/RecordingReport.h"
#include "tests/support/ScriptedHost.h"

namespace velkan::test {

// Every runtime resource a build may ask for, as small images with the slot markers.
inline void InstallFakeRuntime()
{
    OverrideRuntimeResource(package::kStubWin32, FakeStub(200, true, 0x0BADCAFE));
    OverrideRuntimeResource(package::kStubWin31, FakeStub(180, true, 0x01234567));
    for (int id = package::kDialogsWin32; id <= package::kDialogsWin31Bitmap; ++id) {
        OverrideRuntimeResource(id, FakeDialogBlock());
    }
    OverrideRuntimeResource(package::kUninstallerWin32, FakeStub(300, false));
    OverrideRuntimeResource(package::kUninstallerWin31, FakeStub(260, false));
}

// A scratch directory for one test (parameterised names included), removed with the fixture.
class BuildScratch {
public:
    BuildScratch()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name =
            std::string("velkan_build_") + info->test_suite_name() + "_" + info->name();
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        m_path = std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~BuildScratch() { std::filesystem::remove_all(m_path); }
    std::string Path(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// The file an entry rebuilds to.
inline std::vector<uint8_t> RebuiltFile(CPackageReader& reader, size_t version, size_t entry)
{
    CMemorySink sink;
    reader.RebuildFile(version, entry, sink);
    return sink.Take();
}

}  // namespace velkan::test
