// Whole builds onto simulated removable disks: the data section continues on further disks, the
// chunks join to the data stream, and the package reads back from the disks' files.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "core/builder/CInstallBuild.h"
#include "core/model/CDataArray.h"
#include "core/package/ContinuationFileName.h"
#include "core/stream/CFile.h"
#include "core/stream/CFileException.h"
#include "tests/core/builder/BuildTestSupport.h"

using namespace velkan;
using namespace velkan::test;
namespace fs = std::filesystem;
using ByteVec = std::vector<uint8_t>;

namespace {

// Removable disks held in memory, inserted in order as the build asks for them.
class MemoryDisks : public IDiskHost {
public:
    struct Disk {
        size_t capacity = 0;
        std::map<std::string, ByteVec> files;
        size_t Used() const
        {
            size_t used = 0;
            for (const auto& [name, bytes] : files) used += bytes.size();
            return used;
        }
    };

    class File : public IDiskFile {
    public:
        File(Disk& disk, std::string path) : m_disk(disk), m_path(std::move(path)) {}
        void Write(const void* data, size_t size) override
        {
            if (WriteDirect(data, size).written != size)
                throw CFileException(m_path, "the disk is full");
        }
        DirectResult WriteDirect(const void* data, size_t size) override
        {
            ByteVec& bytes = m_disk.files[m_path];
            const auto* p = static_cast<const uint8_t*>(data);
            DirectResult r;
            for (; r.written < size; ++r.written, ++m_pos) {
                if (m_pos < bytes.size()) {
                    bytes[m_pos] = p[r.written];
                } else if (m_disk.Used() >= m_disk.capacity) {
                    r.diskFull = true;
                    break;
                } else {
                    bytes.push_back(p[r.written]);
                }
            }
            return r;
        }
        uint64_t GetPosition() const override { return m_pos; }
        void Seek(uint64_t position) override { m_pos = position; }
        void SeekToEnd() override { m_pos = m_disk.files[m_path].size(); }
        void Close() override {}

    private:
        Disk& m_disk;
        std::string m_path;
        uint64_t m_pos = 0;
    };

    explicit MemoryDisks(std::vector<size_t> capacities)
    {
        for (size_t c : capacities) disks.push_back(Disk{c, {}});
    }

    bool IsRemovable(const std::string&) override { return true; }
    std::optional<DiskFreeSpace> GetFreeSpace(const std::string&) override
    {
        size_t free = Current().capacity - Current().Used();
        return DiskFreeSpace{512, static_cast<uint32_t>(free / 512)};
    }
    std::unique_ptr<IDiskFile> CreateFile(const std::string& path) override
    {
        Current().files[path].clear();
        return std::make_unique<File>(Current(), path);
    }
    std::vector<std::string> ListDirectory(const std::string& dir) override
    {
        std::vector<std::string> names;
        for (const auto& [path, bytes] : Current().files) names.push_back(path.substr(dir.size()));
        return names;
    }
    void DeleteFile(const std::string& path) override { Current().files.erase(path); }
    void ReplaceFile(const std::string& from, const std::string& to) override
    {
        auto& files = Current().files;
        auto bytes = std::move(files.at(from));
        files.erase(from);
        files[to] = std::move(bytes);
    }
    bool AskInsertDisk(int diskNumber) override
    {
        asked.push_back(diskNumber);
        if (refuseDisk == diskNumber || current + 1 >= disks.size()) return false;
        ++current;
        return true;
    }
    void NotifyDiskHoldsFiles() override {}
    bool AskRetryDisk(const std::string&, int) override { return false; }

    Disk& Current() { return disks[current]; }
    // The file at path on whichever disk holds it.
    const ByteVec* Find(const std::string& path) const
    {
        for (const Disk& disk : disks) {
            auto found = disk.files.find(path);
            if (found != disk.files.end()) return &found->second;
        }
        return nullptr;
    }

    std::vector<Disk> disks;
    size_t current = 0;
    int refuseDisk = -1;
    std::vector<int> asked;
};

class BuildSpanning : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallFakeRuntime();
        fs::create_directories(m_dir.Path("src"));
        fs::create_directories(m_dir.Path("tmp"));
        CData& version = project.m_versions.emplace_back();
        version.m_strUninstFile.clear();
        version.m_strSourceDir = m_dir.Path("src") + "/";
        std::mt19937 random(7);
        for (int i = 0; i < 4; ++i) {
            ByteVec bytes(40000 + 1000 * i);
            for (auto& b : bytes) b = static_cast<uint8_t>(random());
            std::string name = "file" + std::to_string(i) + ".bin";
            CFile file(m_dir.Path("src/" + name), CFile::Mode::Create);
            file.Write(bytes.data(), bytes.size());
            file.Close();
            sources[name] = bytes;
            version.m_files.push_back(CFileItem(name));
        }
    }
    void TearDown() override { ClearRuntimeResourceOverrides(); }

    BuildResult Build(MemoryDisks& disks)
    {
        return BuildInstallProgram(project, report, host, disks, {kProgram, m_dir.Path("tmp")});
    }

    static constexpr const char* kProgram = "/floppy/setup.exe";
    BuildScratch m_dir;
    CDataArray project;
    RecordingReport report;
    ScriptedHost host;
    std::map<std::string, ByteVec> sources;
};

TEST_F(BuildSpanning, ChunksOverSeveralDisksJoinToTheDataStream)
{
    MemoryDisks disks({60000, 50000, 50000, 50000, 50000});
    BuildResult result = Build(disks);
    ASSERT_EQ(result.status, BuildStatus::Built) << result.error;
    ASSERT_GE(result.continuationFiles, 2);
    EXPECT_EQ(disks.asked.front(), 2);  // the first continuation is disk number 2
    EXPECT_TRUE(fs::is_empty(m_dir.Path("tmp")));

    uint64_t total = disks.Find(kProgram)->size();
    for (int k = 1; k <= result.continuationFiles; ++k) {
        const ByteVec* part = disks.Find(ContinuationFileName(kProgram, k));
        ASSERT_NE(part, nullptr) << k;
        total += part->size();
    }
    EXPECT_EQ(result.programSize, total);

    CPackageReader reader(std::make_unique<CMemoryPackageInput>(*disks.Find(kProgram), kProgram),
                          [&](int n) -> std::unique_ptr<IPackageInput> {
                              const ByteVec* part = disks.Find(ContinuationFileName(kProgram, n));
                              if (!part) return nullptr;
                              return std::make_unique<CMemoryPackageInput>(
                                  *part, ContinuationFileName(kProgram, n));
                          });
    reader.Read();
    reader.LoadDataChunks();
    const PackageContents& contents = reader.Contents();
    uint64_t chunks = 0;
    for (const DataChunkRecord& chunk : contents.dataChunks) chunks += chunk.length;
    EXPECT_EQ(chunks, contents.dataLength);
    EXPECT_EQ(contents.dataChunks.size(), static_cast<size_t>(result.continuationFiles) + 1);

    const auto& files = contents.versions.at(0).files;
    ASSERT_EQ(files.size(), sources.size());
    for (size_t e = 0; e < files.size(); ++e) {
        EXPECT_NO_THROW(reader.VerifyFile(0, e));
        EXPECT_EQ(RebuiltFile(reader, 0, e), sources.at(files[e].m_strPath));
    }
}

TEST_F(BuildSpanning, ARefusedDiskCancelsAndKeepsTheDisksWritten)
{
    MemoryDisks disks({60000, 50000, 50000, 50000});
    disks.refuseDisk = 3;
    BuildResult result = Build(disks);
    EXPECT_EQ(result.status, BuildStatus::Cancelled);
    EXPECT_EQ(result.continuationFiles, 2);
    EXPECT_NE(disks.Find(kProgram), nullptr);
    EXPECT_NE(disks.Find(ContinuationFileName(kProgram, 1)), nullptr);
    EXPECT_TRUE(fs::is_empty(m_dir.Path("tmp")));
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(BuildSpanning, ARoomyRemovableDiskTakesOneChunk)
{
    MemoryDisks disks({1000000});
    BuildResult result = Build(disks);
    ASSERT_EQ(result.status, BuildStatus::Built);
    EXPECT_EQ(result.continuationFiles, 0);
    EXPECT_TRUE(disks.asked.empty());
    EXPECT_EQ(result.programSize, disks.Find(kProgram)->size());
}

}  // namespace

TEST_F(BuildSpanning, AProgramToSignIsNeverSpreadOverDisks)
{
    MemoryDisks disks({60000, 50000, 50000, 50000, 50000});
    int signs = 0;
    BuildSettings settings{kProgram, m_dir.Path("tmp")};
    settings.signFile = [&](const std::string&) { ++signs; };
    BuildResult result = BuildInstallProgram(project, report, host, disks, settings);
    EXPECT_EQ(result.status, BuildStatus::Failed);
    EXPECT_NE(result.error.find("cannot be signed"), std::string::npos) << result.error;
    EXPECT_EQ(signs, 0);
    EXPECT_TRUE(disks.asked.empty()) << "refused before any disk change";
    EXPECT_EQ(disks.Find(kProgram), nullptr);
    EXPECT_TRUE(fs::is_empty(m_dir.Path("tmp")));
}
