// Writer -> reader round trips over a small two-version project (own copies, taken-over data,
// a delta, a kept-external file, an entry without data, the uninstaller, spanning), and the
// reader's answers to damaged and hostile programs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "core/compress/CCompressor.h"
#include "core/delta/CDeltaEncoder.h"
#include "core/model/CDataArray.h"
#include "core/package/CFileEntry.h"
#include "core/package/CFileTableWriter.h"
#include "core/package/CMemoryPackageInput.h"
#include "core/package/CPackageException.h"
#include "core/package/CPackageReader.h"
#include "core/package/CSectionWriter.h"
#include "core/package/DataSection.h"
#include "core/package/PackageChecksum.h"
#include "core/package/ProjectSections.h"
#include "core/package/StubImage.h"
#include "core/package/TestProgram.h"
#include "core/package/UninstallerData.h"
#include "core/package/VersionSections.h"
#include "core/stream/CMemorySink.h"
#include "core/stream/CMemorySource.h"
#include "PackageTestSupport.h"

using namespace velkan;
using namespace velkan::test;

namespace {

std::vector<uint8_t> Content(size_t size, unsigned seed)
{
    std::vector<uint8_t> bytes(size);
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        bytes[i] = static_cast<uint8_t>((x >> 16) % 23 + 'a');
    }
    return bytes;
}

// A package written piece by piece the way the build does, from a two-version project.
class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_files["a.txt"] = Content(5000, 1);
        m_files["b.dat"] = Content(300, 2);
        m_files["d0.bin"] = Content(40000, 3);
        m_files["d1.bin"] = m_files["d0.bin"];
        for (size_t i = 1000; i < 1100; ++i) m_files["d1.bin"][i] = 'Z';
        m_files["d1.bin"].insert(m_files["d1.bin"].begin() + 20000, 500, 'Q');
        m_files["e.txt"] = {};
        for (auto& [name, bytes] : m_files) m_paths[name] = m_dir.Write(name, bytes);

        m_project.m_strBackTitle = "Back #title";
        m_project.m_versions.resize(2);
        for (int v = 0; v < 2; ++v) {
            CData& version = m_project.m_versions[v];
            version.m_strTitle = "Prod";
            version.m_strName = v == 0 ? "Basic" : "Full";
            version.m_texts[8] = {"Remove #title?"};
            version.m_regKeysToRemove = {"HKEY_LOCAL_MACHINE\\Software\\Prod"};
            version.m_strUninstExtra = "*.log";
            version.m_strUninstFile = "Uninst.exe";
            version.m_strUninstFolder = "Prod";
            version.m_strUninstIcon = "Remove Prod";
        }
        m_project.m_versions[1].m_regEntries.resize(1);
        m_project.m_versions[1].m_regEntries[0].m_strKey = "Software\\Prod";
    }

    CFileEntry PackedEntry(const std::string& name, const std::string& path, CMemorySink& data,
                           uint16_t version, uint32_t index)
    {
        CFileEntry entry = CFileEntry::FromFileItem(CFileItem(path));
        const auto& bytes = m_files[name];
        entry.m_nOffset = static_cast<uint32_t>(data.GetPosition());
        CCompressor compressor;
        compressor.CompressMemory(data, bytes.data(), static_cast<uint32_t>(bytes.size()));
        entry.m_nPackedSize = static_cast<uint32_t>(data.GetPosition()) - entry.m_nOffset;
        entry.m_nSize = static_cast<uint32_t>(bytes.size());
        entry.m_nChecksum = PackageChecksum(bytes.data(), bytes.size(), 0) ^ m_key;
        entry.m_nSourceVersion = version;
        entry.m_nSourceEntry = index;
        entry.m_nFlags = 0x08;
        entry.m_nCreationTime = 1;
        entry.m_nAccessTime = 2;
        entry.m_nWriteTime = 0x01D0000000000000ull + index;
        return entry;
    }

    // Writes the whole program; returns it, with the data stream in m_data.
    std::vector<uint8_t> Build(bool win31 = false)
    {
        std::vector<uint8_t> out;
        CSectionWriter w(out);
        uint32_t seed = WriteStub(w, FakeStub(200, true, 0xA5A5A5A5));
        std::vector<uint8_t> dialogs = FakeDialogBlock();
        if (WriteDialogBlock(w, &dialogs)) WriteProjectSections(w, m_project, ReadFileProc());
        m_key = PackageKey(seed, HasBackTitle(m_project), m_project.m_strBackTitle);
        WriteUninstallerProgram(w, FakeStub(300, false));

        CMemorySink data;
        std::vector<CFileTableWriter> tables(2, CFileTableWriter(win31));
        for (int v = 0; v < 2; ++v) {
            std::vector<uint8_t> block = BuildUninstallerData(m_project.m_versions[v]);
            uint32_t offset = static_cast<uint32_t>(data.GetPosition());
            CCompressor compressor;
            compressor.CompressMemory(data, block.data(), static_cast<uint32_t>(block.size()));
            tables[v].AddEntry(CFileEntry::Uninstaller(
                m_project.m_versions[v], static_cast<uint32_t>(block.size()), offset,
                static_cast<uint32_t>(data.GetPosition()) - offset));
        }
        // a.txt: own copy in version 0, taken over by version 1.
        CFileEntry a0 = PackedEntry("a.txt", "docs\\a.txt", data, 0, 1);
        tables[0].AddEntry(a0);
        CFileEntry a1 = a0;
        tables[1].AddEntry(a1);
        // b.dat: kept external in version 0 only.
        CFileEntry b = CFileEntry::FromFileItem(CFileItem("b.dat"));
        b.m_nOptions[5] = 1;
        b.m_nOffset = 0xFFFFFFFF;
        b.m_nSize = 300;
        b.m_nChecksum = PackageChecksum(m_files["b.dat"].data(), 300, 0) ^ m_key;
        b.m_nFlags = 0x20 | 0x02 | 0x04;
        b.m_nFileVersionMS = 0x00050006;
        b.m_nTranslation = 0x04E40409;
        b.m_nSourceEntry = 2;
        tables[0].AddEntry(b);
        // c.lnk: "do not install" with a shortcut: an entry without data.
        CFileItem c("c.lnk");
        c.SetOption(OptInstallMode, InstallSkip);
        c.m_strShortcutName = "C";
        tables[0].AddEntry(CFileEntry::FromFileItem(c));
        // d.bin: own copy in version 0, a delta in version 1.
        tables[0].AddEntry(PackedEntry("d0.bin", "bin\\d.bin", data, 0, 4));
        CFileEntry d1 = CFileEntry::FromFileItem(CFileItem("bin\\d.bin"));
        d1.m_nOffset = static_cast<uint32_t>(data.GetPosition());
        EncodeDelta(data, m_paths["d1.bin"], m_paths["d0.bin"], nullptr, 0, 0, m_dir.Path(""));
        d1.m_nPackedSize = static_cast<uint32_t>(data.GetPosition()) - d1.m_nOffset;
        d1.m_nSize = static_cast<uint32_t>(m_files["d1.bin"].size());
        d1.m_nChecksum = PackageChecksum(m_files["d1.bin"].data(), d1.m_nSize, 0) ^ m_key;
        d1.m_nFlags = 0x10;
        d1.m_nSourceVersion = 0;
        d1.m_nSourceEntry = 4;
        tables[1].AddEntry(d1);
        // e.txt: an empty file of version 1.
        tables[1].AddEntry(PackedEntry("e.txt", "e.txt", data, 1, 3));

        for (int v = 0; v < 2; ++v) {
            WriteVersionSections(w, m_project.m_versions[v]);
            tables[v].WriteSection(w);
        }
        m_data = data.Take();
        m_dataSectionAt = out.size();
        CMemorySource source(m_data.data(), m_data.size());
        WriteDataSection(w, source, m_data.size());
        return out;
    }

    std::vector<uint8_t> Rebuild(CPackageReader& reader, size_t v, size_t e)
    {
        CMemorySink sink;
        reader.RebuildFile(v, e, sink);
        return sink.Take();
    }

    ScratchDir m_dir;
    std::map<std::string, std::vector<uint8_t>> m_files;
    std::map<std::string, std::string> m_paths;
    CDataArray m_project;
    uint32_t m_key = 0;
    std::vector<uint8_t> m_data;
    size_t m_dataSectionAt = 0;
};

TEST_F(RoundTrip, ContentsMatchTheProject)
{
    std::vector<uint8_t> program = Build();
    // VELKAN_WRITE_SEEDS=DIR keeps the programs as samples (fuzz seeds, velkanc checks).
    if (const char* seeds = std::getenv("VELKAN_WRITE_SEEDS")) {
        CFile(std::string(seeds) + "/setup32.exe", CFile::Mode::Create)
            .Write(program.data(), program.size());
        std::vector<uint8_t> win31 = Build(true);
        CFile(std::string(seeds) + "/setup31.exe", CFile::Mode::Create)
            .Write(win31.data(), win31.size());
    }
    CPackageReader reader(std::make_unique<CMemoryPackageInput>(program, "setup.exe"));
    reader.Read();
    const PackageContents& c = reader.Contents();
    EXPECT_EQ(c.stubSize, 200u);
    EXPECT_TRUE(c.hasKeyMarker);
    EXPECT_EQ(c.key, m_key);
    EXPECT_EQ(c.projectFlags, 0x11u);
    EXPECT_EQ(c.backTitle, "Back #title");
    ASSERT_TRUE(c.titleStyle);
    EXPECT_EQ(c.titleStyle->font, m_project.m_lfTitleFont);
    ASSERT_TRUE(c.uninstallerProgram);
    EXPECT_EQ(c.uninstallerProgram->size(), 300u);
    EXPECT_EQ(U32At(*c.uninstallerProgram, 46), 300u);  // its size slot was patched
    EXPECT_EQ(c.dialogBlockSize, 48u + 240u);
    EXPECT_EQ(c.dataLength, m_data.size());
    ASSERT_EQ(c.versions.size(), 2u);
    EXPECT_EQ(c.versions[0].block.name, "Basic");
    EXPECT_EQ(c.versions[1].regEntries.size(), 1u);
    ASSERT_EQ(c.versions[0].block.pages.size(), 11u);
    EXPECT_TRUE(c.versions[0].block.pages[8]->empty());
    EXPECT_EQ(c.versions[0].files.size(), 5u);
    EXPECT_EQ(c.versions[1].files.size(), 4u);
    const CFileEntry& b = c.versions[0].files[2];
    EXPECT_EQ(b.m_nFileVersionMS, 0x00050006u);
    EXPECT_EQ(b.m_nTranslation, 0x04E40409u);
    EXPECT_EQ(c.versions[0].files[3].m_strShortcutName, "C");

    UninstallerDataRecord uninst = reader.ReadUninstallerData(1, 0);
    EXPECT_EQ(uninst.texts, std::vector<std::string>{"Remove Prod?"});
    ASSERT_EQ(uninst.keys.size(), 1u);
    EXPECT_EQ(uninst.keys[0].root, 0x80000002u);
    EXPECT_EQ(uninst.files, std::vector<std::string>{".log"});
}

TEST_F(RoundTrip, FilesRebuildAndVerify)
{
    std::vector<uint8_t> program = Build();
    CPackageReader reader(std::make_unique<CMemoryPackageInput>(program, "setup.exe"));
    reader.Read();
    EXPECT_EQ(Rebuild(reader, 0, 1), m_files["a.txt"]);
    EXPECT_EQ(Rebuild(reader, 1, 1), m_files["a.txt"]);  // taken over
    EXPECT_EQ(Rebuild(reader, 0, 4), m_files["d0.bin"]);
    EXPECT_EQ(Rebuild(reader, 1, 2), m_files["d1.bin"]);  // delta
    EXPECT_EQ(Rebuild(reader, 1, 3), m_files["e.txt"]);
    for (size_t v = 0; v < 2; ++v) {
        for (size_t e = 0; e < reader.Contents().versions[v].files.size(); ++e) {
            EXPECT_NO_THROW(reader.VerifyFile(v, e)) << v << " " << e;
        }
    }
    // Kept external and no data: nothing to rebuild.
    EXPECT_THROW(Rebuild(reader, 0, 2), CPackageException);
    EXPECT_THROW(Rebuild(reader, 0, 3), CPackageException);
}

TEST_F(RoundTrip, Windows31TablesReadTheSame)
{
    std::vector<uint8_t> program = Build(true);
    CPackageReader reader(std::make_unique<CMemoryPackageInput>(program, "setup.exe"));
    reader.Read();
    EXPECT_EQ(Rebuild(reader, 1, 2), m_files["d1.bin"]);
}

TEST_F(RoundTrip, ChecksumMismatchIsReported)
{
    std::vector<uint8_t> program = Build();
    CPackageReader reader(std::make_unique<CMemoryPackageInput>(program, "setup.exe"));
    reader.Read();
    // Flip a byte in the literal part of a.txt's stored stream: either the stream or the sum fails.
    std::vector<uint8_t> damaged = program;
    size_t aStream = m_dataSectionAt + 12 + reader.Contents().versions[0].files[1].m_nOffset;
    damaged[aStream + 40] ^= 0x01;
    CPackageReader bad(std::make_unique<CMemoryPackageInput>(damaged, "setup.exe"));
    bad.Read();
    EXPECT_THROW(bad.VerifyFile(0, 1), CPackageException);
    EXPECT_NO_THROW(bad.VerifyFile(0, 4));
}

TEST_F(RoundTrip, SpannedDataAcrossContinuationFiles)
{
    std::vector<uint8_t> program = Build();
    size_t firstChunk = 1000, secondChunk = 7;
    ASSERT_GT(m_data.size(), firstChunk + secondChunk + 1);
    auto chunkFile = [](const uint8_t* bytes, size_t size) {
        std::vector<uint8_t> file = {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                                     static_cast<uint8_t>(size >> 16), 0};
        file.insert(file.end(), bytes, bytes + size);
        return file;
    };
    std::vector<uint8_t> main(program.begin(), program.begin() + m_dataSectionAt + 8);
    std::vector<uint8_t> first = chunkFile(m_data.data(), firstChunk);
    main.insert(main.end(), first.begin(), first.end());
    std::vector<std::vector<uint8_t>> continuations = {
        chunkFile(m_data.data() + firstChunk, secondChunk),
        chunkFile(m_data.data() + firstChunk + secondChunk,
                  m_data.size() - firstChunk - secondChunk)};
    auto opener = [&](int n) -> std::unique_ptr<IPackageInput> {
        if (n < 1 || n > static_cast<int>(continuations.size())) return nullptr;
        return std::make_unique<CMemoryPackageInput>(continuations[n - 1],
                                                     "setup.D0" + std::to_string(n));
    };
    CPackageReader reader(std::make_unique<CMemoryPackageInput>(main, "setup.exe"), opener);
    reader.Read();
    EXPECT_EQ(Rebuild(reader, 1, 2), m_files["d1.bin"]);
    EXPECT_EQ(Rebuild(reader, 0, 4), m_files["d0.bin"]);
    ASSERT_EQ(reader.Contents().dataChunks.size(), 3u);
    EXPECT_EQ(reader.Contents().dataChunks[2].fileIndex, 2);

    // Without the continuation files the layout still reads; the data does not.
    CPackageReader alone(std::make_unique<CMemoryPackageInput>(main, "setup.exe"));
    alone.Read();
    EXPECT_EQ(alone.Contents().versions.size(), 2u);
    try {
        Rebuild(alone, 0, 4);
        FAIL() << "rebuilt without the continuation files";
    } catch (const CPackageException& e) {
        EXPECT_NE(std::string(e.what()).find("continuation file 1"), std::string::npos) << e.what();
    }
}

TEST_F(RoundTrip, TruncatedOrDamagedProgramsFailCleanly)
{
    std::vector<uint8_t> program = Build();
    auto exercise = [](const std::vector<uint8_t>& bytes) {
        CPackageReader reader(std::make_unique<CMemoryPackageInput>(bytes, "setup.exe"));
        try {
            reader.Read();
        } catch (const CPackageException&) {
            return;
        }
        const auto& versions = reader.Contents().versions;
        for (size_t v = 0; v < versions.size(); ++v) {
            for (size_t e = 0; e < versions[v].files.size(); ++e) {
                try {
                    reader.VerifyFile(v, e);
                } catch (const CPackageException&) {
                }
            }
        }
    };
    for (size_t length = 0; length < program.size(); length += (length < 400 ? 1 : 37)) {
        exercise(std::vector<uint8_t>(program.begin(), program.begin() + length));
    }
    for (size_t at = 200; at < program.size(); at += 29) {
        std::vector<uint8_t> damaged = program;
        damaged[at] ^= 0x5A;
        exercise(damaged);
    }
}

// A program whose single version has the given entries and data stream.
std::vector<uint8_t> ProgramWithEntries(const std::vector<std::vector<CFileEntry>>& versions,
                                        const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> out;
    CSectionWriter w(out);
    WriteStub(w, FakeStub(100, false));
    CData version;
    for (const auto& entries : versions) {
        WriteVersionSections(w, version);
        CFileTableWriter table(false);
        for (const CFileEntry& e : entries) table.AddEntry(e);
        table.WriteSection(w);
    }
    CMemorySource source(data.data(), data.size());
    WriteDataSection(w, source, data.size());
    return out;
}

CFileEntry DeltaEntry(uint16_t sourceVersion, uint32_t sourceEntry)
{
    CFileEntry e;
    e.m_strPath = "x";
    e.m_nFlags = 0x10;
    e.m_nOffset = 0;
    e.m_nPackedSize = 3;
    e.m_nSize = 10;
    e.m_nSourceVersion = sourceVersion;
    e.m_nSourceEntry = sourceEntry;
    return e;
}

// Each case is a program of its own: faults of the data layout are refused when the program is
// read; faults only a rebuild can find (a stream shorter than its size, a reference kept outside)
// when the entry is rebuilt. Either way nothing much is written.
TEST(PackageReaderHostile, BadReferencesAndSizes)
{
    std::vector<uint8_t> packed = CCompressor::Pack("hello", 5);
    const auto packedSize = static_cast<uint32_t>(packed.size());

    CFileEntry noData;
    noData.m_strPath = "n";
    CFileEntry own;  // version 1 entry 1 owning the whole data stream
    own.m_strPath = "o";
    own.m_nSize = 5;
    own.m_nPackedSize = packedSize;
    CFileEntry huge = own;
    huge.m_nSize = 0xFFFFFFF0u;  // claims 4 GB from a 5-byte stream
    CFileEntry outside = own;
    outside.m_nPackedSize = 0x7FFFFFFF;
    CFileEntry external = noData;
    external.m_nOffset = 0xFFFFFFFF;
    auto delta = [&](uint16_t sv, uint32_t se) {
        CFileEntry e = DeltaEntry(sv, se);
        e.m_nPackedSize = packedSize;
        return e;
    };
    CFileEntry takeover = own;
    takeover.m_nSourceVersion = 0;
    CFileEntry disagreeing = takeover;
    disagreeing.m_nSize = 6;
    CFileEntry second = own;
    second.m_nSourceEntry = 1;
    CFileEntry sameVersion = takeover;  // version 1 entry 2 sharing entry 1's data
    sameVersion.m_strPath = "t";
    CFileEntry laterInVersion = sameVersion;  // version 1 entry 1 naming entry 2
    laterInVersion.m_nSourceEntry = 1;

    struct Case {
        const char* name;
        std::vector<std::vector<CFileEntry>> versions;
        const char* message;
        bool atRead;  // refused when read; otherwise when version 2 entry 1 (or 1/1) is rebuilt
    } cases[] = {
        {"delta naming a later version",
         {{delta(1, 0)}, {own}},
         "is neither an earlier version's entry nor an earlier entry",
         true},
        {"delta naming itself", {{external}, {delta(1, 0)}}, "a delta against itself", true},
        {"missing source version",
         {{own}, {delta(7, 0)}},
         "is neither an earlier version's entry nor an earlier entry",
         true},
        {"takeover naming a later entry of its version",
         {{laterInVersion, own}},
         "is neither an earlier version's entry nor an earlier entry",
         true},
        {"delta naming an entry of its version",
         {{own, delta(0, 0)}},
         "is neither an earlier version's entry nor an earlier entry",
         true},
        {"source without data",
         {{noData, second}, {delta(0, 0)}},
         "does not own a plain copy",
         true},
        {"source is a delta",
         {{own}, {delta(0, 0)}, {delta(1, 0)}},
         "does not own a plain copy",
         true},
        {"data outside the stream", {{outside}}, "entries own", true},
        {"two owners of one stream", {{own, second}}, "inside the data of another entry", true},
        {"a gap no entry owns", {{}}, "entries own 0 bytes", true},
        {"takeover that disagrees", {{own}, {disagreeing}}, "does not agree", true},
        {"source kept external", {{external}, {delta(0, 0)}}, "kept outside", false},
        {"size larger than the stream", {{huge}}, "packed stream", false},
    };
    for (const Case& c : cases) {
        CPackageReader reader(std::make_unique<CMemoryPackageInput>(
            ProgramWithEntries(c.versions, packed), "setup.exe"));
        CMemorySink sink;
        try {
            reader.Read();
            ASSERT_FALSE(c.atRead) << c.name << ": read without error";
            reader.RebuildFile(c.versions.size() - 1, 0, sink);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const CPackageException& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.name << ": " << e.what();
        }
        EXPECT_LE(sink.Bytes().size(), 5u) << c.name;
    }
    // A takeover that agrees reads, and is not rebuilt a second time by verification.
    CPackageReader good(std::make_unique<CMemoryPackageInput>(
        ProgramWithEntries({{own}, {takeover}}, packed), "setup.exe"));
    good.Read();
    // So does an entry sharing the data of an earlier equal file of its version.
    CPackageReader shared(std::make_unique<CMemoryPackageInput>(
        ProgramWithEntries({{own, sameVersion}}, packed), "setup.exe"));
    shared.Read();
    CMemorySink sharedSink;
    shared.RebuildFile(0, 1, sharedSink);
    EXPECT_EQ(std::string(sharedSink.Bytes().begin(), sharedSink.Bytes().end()), "hello");
    // An entry without data passes verification only when it claims no file.
    std::vector<uint8_t> empty = ProgramWithEntries({{noData}}, {});
    CPackageReader honest(std::make_unique<CMemoryPackageInput>(empty, "setup.exe"));
    honest.Read();
    EXPECT_NO_THROW(honest.VerifyFile(0, 0));
    CFileEntry claims = noData;
    claims.m_nSize = 5;
    std::vector<uint8_t> lying = ProgramWithEntries({{claims}}, {});
    CPackageReader liar(std::make_unique<CMemoryPackageInput>(lying, "setup.exe"));
    liar.Read();
    EXPECT_THROW(liar.VerifyFile(0, 0), CPackageException);
}

TEST(PackageReaderHostile, LayoutFaults)
{
    std::vector<uint8_t> good = ProgramWithEntries({{}}, {});
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        const char* message;
    } cases[] = {
        {"no size marker", [](auto& b) { b[40] = 0; }, "no size marker"},
        {"size slot past the end",
         [](auto& b) {
             b[46] = 0xFF;
             b[47] = 0xFF;
         },
         "size slot"},
        {"section body past the end",
         [](auto& b) {
             b[104] = 0xFF;
             b[105] = 0xFF;
         },
         "passes the end"},
        {"no data section", [](auto& b) { b.resize(b.size() - 12); }, "without its data section"},
        {"chunk larger than the file", [](auto& b) { b[b.size() - 4] = 9; }, "chunk"},
        {"table before a version", [](auto& b) { b[100] = 0x3A; }, "before any version"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        c.damage(bytes);
        CPackageReader reader(std::make_unique<CMemoryPackageInput>(bytes, "setup.exe"));
        try {
            reader.Read();
            ADD_FAILURE() << c.name << ": no error";
        } catch (const CPackageException& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.name << ": " << e.what();
        }
    }
}

// The stub is searched in 64 KiB pieces: a marker anywhere, across a piece's end or with its slot
// ending at the stub's end, is found, and the first of two wins.
TEST(PackageReaderTest, StubMarkersAnywhereInTheStub)
{
    constexpr size_t kStub = 140000;
    const size_t places[] = {0, 65526, 65527, 65530, 65535, 65536, 131068, kStub - 10};
    for (size_t sizeAt : places) {
        for (size_t keyAt : places) {
            if (sizeAt > keyAt ? sizeAt - keyAt < 10 : keyAt - sizeAt < 10) continue;
            std::vector<uint8_t> stub(kStub, 0);
            PutMarker(stub, sizeAt, package::kSizeMarker, 0);
            PutMarker(stub, keyAt, package::kKeyMarker, 0x01020304);
            if (keyAt + 30 < kStub && sizeAt + 30 < kStub) {
                PutMarker(stub, kStub - 10, package::kKeyMarker, 0xBAD);
            }
            std::vector<uint8_t> out;
            CSectionWriter w(out);
            WriteStub(w, stub);
            WriteVersionSections(w, CData());
            CFileTableWriter(false).WriteSection(w);
            CMemorySource noData(nullptr, 0);
            WriteDataSection(w, noData, 0);
            CPackageReader reader(std::make_unique<CMemoryPackageInput>(out, "setup.exe"));
            ASSERT_NO_THROW(reader.Read()) << sizeAt << " " << keyAt;
            EXPECT_EQ(reader.Contents().stubSize, kStub) << sizeAt;
            EXPECT_EQ(reader.Contents().keySeed, 0x01020304u ^ package::kKeySlotXor) << keyAt;
        }
    }
}

TEST(PackageReaderTest, ReadsATestProgram)
{
    CDataArray project;
    project.m_versions.resize(3);
    project.m_nCurrent = 1;
    std::vector<uint8_t> out;
    CSectionWriter w(out);
    std::vector<uint8_t> dialogs = FakeDialogBlock();
    ASSERT_TRUE(WriteTestProgram(w, project, FakeStub(), &dialogs, 5, ReadFileProc()));
    if (const char* seeds = std::getenv("VELKAN_WRITE_SEEDS")) {
        CFile(std::string(seeds) + "/test.exe", CFile::Mode::Create).Write(out.data(), out.size());
    }
    CPackageReader reader(std::make_unique<CMemoryPackageInput>(out, "test.exe"));
    reader.Read();
    const auto& c = reader.Contents();
    ASSERT_TRUE(c.testSection);
    EXPECT_EQ(c.testSection->pageCode, 7);
    EXPECT_EQ(c.testSection->currentVersion, 1);
    EXPECT_EQ(c.versions.size(), 3u);
    EXPECT_FALSE(c.versions[0].hasFileTable);
    EXPECT_EQ(c.dataLength, 0u);
}

}  // namespace
