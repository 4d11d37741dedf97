// Scripted stand-ins for the person and the report of a build, fake runtime resources carrying the
// stub markers, and a reader for the setup programs the tests build.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/build/CBuildReport.h"
#include "core/build/CLocalDiskHost.h"
#include "core/build/IBuildHost.h"
#include "core/compress/CCompressor.h"
#include "core/package/CMemoryPackageInput.h"
#include "core/package/CPackageReader.h"
#include "core/package/PackageFormat.h"
#include "core/res/RuntimeResources.h"
#include "core/stream/CMemorySink.h"
#include "tests/core/package/PackageTestSupport.h"

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

class RecordingReport : public CBuildReport {
public:
    struct Line {
        std::string text;
        bool hasNumbers = false;
        uint64_t size = 0;
        uint64_t packed = 0;
    };
    void AddLine(const std::string& text) override { lines.push_back({text}); }
    void SetNumbers(int kind, uint64_t size, uint64_t packed) override
    {
        EXPECT_EQ(kind, CBuildReport::kKindFile);
        ASSERT_FALSE(lines.empty());
        lines.back().hasNumbers = true;
        lines.back().size = size;
        lines.back().packed = packed;
    }
    const Line* Find(const std::string& text) const
    {
        for (const Line& line : lines) {
            if (line.text == text) return &line;
        }
        return nullptr;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Line& line : lines) texts.push_back(line.text);
        return texts;
    }
    std::vector<Line> lines;
};

class ScriptedHost : public IBuildHost {
public:
    void BeginProgress() override { ++begun; }
    void EndProgress() override { ++ended; }
    void ShowProgress(uint32_t position, const std::string& text) override
    {
        positions.push_back(position);
        texts.push_back(text);
        if (onProgress) onProgress(positions.size());
    }
    PumpResult Pump() override
    {
        ++pumps;
        if (stopAfterPumps >= 0 && pumps > stopAfterPumps) return stopResult;
        return PumpResult::Continue;
    }
    bool AskYesNo(const std::string& question) override
    {
        questions.push_back(question);
        auto found = answers.find(question);
        return found == answers.end() ? true : found->second;
    }
    void ShowInformation(const std::string& text) override { information.push_back(text); }
    void ShowError(const std::string& text) override { errors.push_back(text); }

    std::map<std::string, bool> answers;
    int stopAfterPumps = -1;
    PumpResult stopResult = PumpResult::StopRequested;
    std::function<void(size_t)> onProgress;

    int begun = 0, ended = 0, pumps = 0;
    std::vector<uint32_t> positions;
    std::vector<std::string> texts;
    std::vector<std::string> questions, information, errors;
};

// The local file system, with every disk prompt answered Cancel.
class LocalDisks : public CLocalDiskHost {
public:
    bool AskInsertDisk(int) override { return false; }
    void NotifyDiskHoldsFiles() override {}
    bool AskRetryDisk(const std::string&, int) override { return false; }
};

// A scratch directory for one test (parameterised names included), removed with the fixture.
class BuildScratch {
public:
    BuildScratch()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("velkan_build_") + info->test_suite_name() + "_" + info->name();
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
