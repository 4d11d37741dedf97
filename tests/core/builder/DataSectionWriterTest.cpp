#include "core/builder/CDataSectionWriter.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <numeric>

#include "core/model/CUserAbort.h"
#include "core/stream/CFileException.h"
#include "core/stream/CMemorySource.h"

using namespace velkan;
using Bytes = std::vector<unsigned char>;

namespace {

// Removable disks of given capacities, inserted one after another as the writer asks for them.
class SimulatedDisks : public IDiskHost {
public:
    struct Disk {
        size_t capacity;
        std::map<std::string, Bytes> files;
        size_t Used() const
        {
            size_t used = 0;
            for (const auto& [name, bytes] : files) used += bytes.size();
            return used;
        }
    };

    class File : public IDiskFile {
    public:
        File(SimulatedDisks& host, Disk& disk, std::string path)
            : m_host(host), m_disk(disk), m_path(std::move(path))
        {
        }
        void Write(const void* data, size_t size) override
        {
            if (WriteDirect(data, size).written != size)
                throw CFileException(m_path, "the disk is full");
        }
        DirectResult WriteDirect(const void* data, size_t size) override
        {
            Bytes& bytes = m_disk.files[m_path];
            const auto* p = static_cast<const unsigned char*>(data);
            DirectResult r;
            for (; r.written < size; ++r.written, ++m_pos) {
                if (m_pos < bytes.size()) {
                    bytes[m_pos] = p[r.written];
                    continue;
                }
                if (m_disk.Used() >= m_disk.capacity) {
                    r.diskFull = true;
                    break;
                }
                bytes.push_back(p[r.written]);
            }
            return r;
        }
        uint64_t GetPosition() const override { return m_pos; }
        void Seek(uint64_t position) override { m_pos = position; }
        void SeekToEnd() override { m_pos = m_disk.files[m_path].size(); }
        void Close() override { m_host.closed.push_back(m_path); }

    private:
        SimulatedDisks& m_host;
        Disk& m_disk;
        std::string m_path;
        uint64_t m_pos = 0;
    };

    explicit SimulatedDisks(std::vector<size_t> capacities, bool removable = true)
        : m_removable(removable)
    {
        for (size_t c : capacities) waiting.push_back(Disk{c, {}});
        inserted.push_back(waiting.front());
        waiting.pop_front();
    }

    bool IsRemovable(const std::string&) override { return m_removable; }
    std::optional<DiskFreeSpace> GetFreeSpace(const std::string&) override
    {
        size_t free = Current().capacity - Current().Used();
        return DiskFreeSpace{512, static_cast<uint32_t>(free / 512)};
    }
    std::unique_ptr<IDiskFile> CreateFile(const std::string& path) override
    {
        if (failCreates > 0) {
            --failCreates;
            throw CFileException(path, "the disk is write-protected");
        }
        Current().files[path];
        return std::make_unique<File>(*this, Current(), path);
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
        prompts.push_back("insert " + std::to_string(diskNumber));
        if (cancelInsert || waiting.empty()) return false;
        InsertNext();
        return true;
    }
    void NotifyDiskHoldsFiles() override { prompts.push_back("holds files"); }
    bool AskRetryDisk(const std::string& error, int diskNumber) override
    {
        prompts.push_back("retry " + std::to_string(diskNumber) + ": " + error);
        if (waiting.empty()) return false;
        InsertNext();
        return true;
    }

    Disk& Current() { return inserted.back(); }
    void InsertNext()
    {
        inserted.push_back(waiting.front());
        waiting.pop_front();
    }

    std::deque<Disk> waiting;
    std::deque<Disk> inserted;
    std::vector<std::string> prompts;
    std::vector<std::string> closed;
    bool cancelInsert = false;
    int failCreates = 0;

private:
    bool m_removable;
};

Bytes Pattern(size_t n)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(i * 7 + i / 251);
    return b;
}

uint32_t U32(const Bytes& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

constexpr const char* kProgram = "/media/disk/setup.exe";
constexpr size_t kStubBytes = 1000;

// Writes a stand-in for everything before the data section, then the section itself.
struct SpanRun {
    SimulatedDisks& disks;
    CDataSectionWriter writer{disks, kProgram};

    void Write(const Bytes& data)
    {
        auto file = disks.CreateFile(kProgram);
        file->Write(Bytes(kStubBytes, 0xAA).data(), kStubBytes);
        writer.DecideSpanning(data.size());
        CMemorySource source(data.data(), data.size());
        auto last = writer.Write(std::move(file), source, data.size());
        last->Close();
    }
};

// The data of every chunk, in order, checked against the chunk lengths.
Bytes Reassemble(SimulatedDisks& disks, size_t expectedLength)
{
    std::vector<const Bytes*> files;
    for (auto& disk : disks.inserted) {
        for (auto& [path, bytes] : disk.files) files.push_back(&bytes);
    }
    Bytes data;
    for (size_t i = 0; i < files.size(); ++i) {
        const Bytes& f = *files[i];
        size_t chunkAt = i == 0 ? kStubBytes + 8 : 0;
        if (i == 0) {
            EXPECT_EQ(f[kStubBytes], 0x7F);
            EXPECT_EQ(f[kStubBytes + 1], 0x7F);
            EXPECT_EQ(U32(f, kStubBytes + 4), expectedLength);
        }
        uint32_t chunk = U32(f, chunkAt);
        EXPECT_EQ(chunk, f.size() - chunkAt - 4) << "file " << i;
        data.insert(data.end(), f.begin() + static_cast<long>(chunkAt + 4), f.end());
    }
    return data;
}

}  // namespace

TEST(DataSectionWriter, EmptyStreamIsHeaderAndZero)
{
    SimulatedDisks disks({10});  // even a disk that is full
    disks.Current().capacity = kStubBytes + 12;
    SpanRun run{disks};
    run.Write({});
    const Bytes& f = disks.Current().files[kProgram];
    ASSERT_EQ(f.size(), kStubBytes + 12);
    EXPECT_EQ(Bytes(f.begin() + kStubBytes, f.end()),
              (Bytes{0x7F, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(disks.prompts.empty());
}

TEST(DataSectionWriter, OneChunkWhenTheDiskHoldsEverything)
{
    for (bool removable : {true, false}) {
        SimulatedDisks disks({10'000'000}, removable);
        SpanRun run{disks};
        Bytes data = Pattern(100'000);
        run.Write(data);
        EXPECT_EQ(Reassemble(disks, data.size()), data);
        EXPECT_EQ(disks.inserted.size(), 1u);
        EXPECT_TRUE(disks.prompts.empty());
    }
}

TEST(DataSectionWriter, SpansOverSmallDisksWithChunksAddingUpToTheStream)
{
    SimulatedDisks disks({40'000, 30'000, 30'000, 100'000});
    SpanRun run{disks};
    Bytes data = Pattern(100'000);
    run.Write(data);
    EXPECT_EQ(Reassemble(disks, data.size()), data);
    EXPECT_EQ(run.writer.ContinuationFiles(), 3);
    EXPECT_EQ(disks.prompts, (std::vector<std::string>{"insert 2", "insert 3", "insert 4"}));
    EXPECT_TRUE(disks.inserted[1].files.count("/media/disk/setup.D01"));
    EXPECT_TRUE(disks.inserted[3].files.count("/media/disk/setup.D03"));
}

TEST(DataSectionWriter, DiskTooSmallForTheRestOfThePieceIsRetried)
{
    // Disk 1 fills in the middle of a piece; disk 2 cannot even hold that rest, so the error box
    // asks again for disk number 2, and the next disk takes it. Nothing is left on the small one.
    SimulatedDisks disks({kStubBytes + 12 + 5000, 100, 200'000});
    SpanRun run{disks};
    Bytes data = Pattern(70'000);
    run.Write(data);
    ASSERT_EQ(disks.prompts.size(), 2u);
    EXPECT_EQ(disks.prompts[0], "insert 2");
    EXPECT_EQ(disks.prompts[1].rfind("retry 2: ", 0), 0u) << disks.prompts[1];
    EXPECT_TRUE(disks.inserted[1].files.empty());
    EXPECT_EQ(Reassemble(disks, data.size()), data);
    EXPECT_EQ(run.writer.ContinuationFiles(), 1);
}

TEST(DataSectionWriter, FailedCreateShowsTheErrorAndRetries)
{
    SimulatedDisks disks({20'000, 100'000, 100'000});
    disks.failCreates = 0;
    SpanRun run{disks};
    Bytes data = Pattern(50'000);
    auto file = disks.CreateFile(kProgram);
    file->Write(Bytes(kStubBytes, 0xAA).data(), kStubBytes);
    run.writer.DecideSpanning(data.size());
    disks.failCreates = 1;
    CMemorySource source(data.data(), data.size());
    run.writer.Write(std::move(file), source, data.size())->Close();
    ASSERT_EQ(disks.prompts.size(), 2u);
    EXPECT_NE(disks.prompts[1].find("write-protected"), std::string::npos);
    EXPECT_EQ(Reassemble(disks, data.size()), data);
}

TEST(DataSectionWriter, CancelAfterADiskChangeKeepsWhatWasWritten)
{
    SimulatedDisks disks({20'000, 20'000, 20'000});
    SpanRun run{disks};
    Bytes data = Pattern(80'000);
    auto file = disks.CreateFile(kProgram);
    run.writer.DecideSpanning(data.size());
    CMemorySource source(data.data(), data.size());
    disks.waiting.pop_back();  // only one more disk: the second change is cancelled
    EXPECT_THROW(run.writer.Write(std::move(file), source, data.size()), CUserAbort);
    EXPECT_EQ(run.writer.ContinuationFiles(), 2);
    EXPECT_TRUE(disks.inserted[0].files.count(kProgram));
    EXPECT_TRUE(disks.inserted[1].files.count("/media/disk/setup.D01"));
}

TEST(DataSectionWriter, ADiskHoldingOtherFilesIsNotedOnceAndKept)
{
    SimulatedDisks disks({30'000, 100'000});
    disks.waiting[0].files["/media/disk/photo.jpg"] = Bytes(10, 1);
    disks.waiting[0].files["/media/disk/notes.txt"] = Bytes(10, 2);
    SpanRun run{disks};
    Bytes data = Pattern(60'000);
    run.Write(data);
    EXPECT_EQ(disks.prompts, (std::vector<std::string>{"insert 2", "holds files"}));
    EXPECT_EQ(disks.inserted[1].files.size(), 3u);
}
