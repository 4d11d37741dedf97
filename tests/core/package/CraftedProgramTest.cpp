// Setup programs crafted to cost memory or work out of proportion to their size, or to carry
// bytes nobody checks. Each is refused (or, for a section the reader does not use, passed over)
// before anything large is unpacked; the memory bound itself is measured by the benchmark
// (BENCHMARKS.md), not here.
#include <gtest/gtest.h>

#include <functional>

#include "core/compress/CCompressor.h"
#include "core/model/CDataArray.h"
#include "core/package/CChecksumAccumulator.h"
#include "core/package/CFileEntry.h"
#include "core/package/CFileTableWriter.h"
#include "core/package/CMemoryPackageInput.h"
#include "core/package/CPackageException.h"
#include "core/package/CPackageReader.h"
#include "core/package/CSectionWriter.h"
#include "core/package/DataSection.h"
#include "core/package/PackageFormat.h"
#include "core/package/StubImage.h"
#include "core/package/VersionSections.h"
#include "core/stream/CMemorySource.h"
#include "PackageTestSupport.h"

using namespace velkan;
using namespace velkan::test;

namespace {

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
}

// A stub that is a PE32+ image as far as the certificate table is concerned: "MZ", the PE header
// offset at 0x3C, "PE\0\0", a file header, the optional header's magic, 16 data directories.
constexpr size_t kPeAt = 0x100;
constexpr size_t kSecurityEntry = kPeAt + 4 + 20 + 112 + 8 * 4;

std::vector<uint8_t> PeStub()
{
    std::vector<uint8_t> stub = FakeStub(512, false);
    Put32(stub, 0x3C, kPeAt);
    for (size_t i = kPeAt; i < 512; ++i) stub[i] = 0;
    stub[kPeAt] = 'P';
    stub[kPeAt + 1] = 'E';
    stub[kPeAt + 20] = 0xF0;  // SizeOfOptionalHeader of PE32+ with 16 directories
    stub[kPeAt + 24] = 0x0B;  // PE32+ magic 0x20B
    stub[kPeAt + 25] = 0x02;
    Put32(stub, kPeAt + 24 + 108, 16);
    return stub;
}

struct Crafted {
    std::vector<std::vector<CFileEntry>> versions;
    std::vector<uint8_t> data;
    std::function<void(CSectionWriter&)> extraSections = nullptr;  // before the version
};

std::vector<uint8_t> Write(const Crafted& c)
{
    std::vector<uint8_t> out;
    CSectionWriter w(out);
    WriteStub(w, PeStub());
    if (c.extraSections) c.extraSections(w);
    for (const auto& entries : c.versions) {
        CData version;
        WriteVersionSections(w, version);
        CFileTableWriter table(false);
        for (const CFileEntry& e : entries) table.AddEntry(e);
        table.WriteSection(w);
    }
    CMemorySource source(c.data.data(), c.data.size());
    WriteDataSection(w, source, c.data.size());
    return out;
}

// A packed section that states size unpacked bytes but carries only a few bytes of stream.
std::function<void(CSectionWriter&)> StatedSection(uint16_t id, uint32_t size)
{
    return [id, size](CSectionWriter& w) {
        const uint8_t junk[12] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4};
        w.BeginSection(id, package::kSectionPacked, 4 + sizeof junk);
        w.WriteU32(size);
        w.Write(junk, sizeof junk);
    };
}

// The owner of the first stream, which is "hello" packed (the stub has no key slot).
CFileEntry Owner(uint32_t size, uint32_t packed)
{
    CChecksumAccumulator sum;
    sum.Add("hello", 5);
    CFileEntry e;
    e.m_strPath = "a.bin";
    e.m_nSize = size;
    e.m_nPackedSize = packed;
    e.m_nChecksum = sum.Value() ^ package::kKeyFallback;
    return e;
}

}  // namespace

TEST(CraftedProgram, EachIsRefusedOrPassedOverWithoutUnpacking)
{
    const std::vector<uint8_t> hello = CCompressor::Pack("hello", 5);
    const auto helloSize = static_cast<uint32_t>(hello.size());

    // A delta that states a 1 GiB command sub-stream for a 5-byte file.
    std::vector<uint8_t> bombDelta = {0x03, 0xFF, 0xFF, 0xFF, 0x3F, 0x04, 0x00,
                                      0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x00, 0x00};
    std::vector<uint8_t> withDelta = hello;
    withDelta.insert(withDelta.end(), bombDelta.begin(), bombDelta.end());
    CFileEntry delta = Owner(5, static_cast<uint32_t>(bombDelta.size()));
    delta.m_strPath = "b.bin";
    delta.m_nFlags = package::kEntryDelta;
    delta.m_nOffset = helloSize;
    delta.m_nSourceEntry = 0;  // version 1 entry 1, the plain copy

    CFileEntry second = Owner(5, helloSize);
    second.m_strPath = "b.bin";
    second.m_nSourceEntry = 1;

    struct Case {
        const char* name;
        Crafted program;
        std::function<void(std::vector<uint8_t>&)> after;  // applied to the written bytes
        const char* message;  // refused on reading or verifying; null: reads and verifies
    } cases[] = {
        {"a plain program", {{{Owner(5, helloSize)}}, hello}, nullptr, nullptr},
        {"an unused section stating 1 GiB is passed over",
         {{{Owner(5, helloSize)}}, hello, StatedSection(0x4444, 1u << 30)},
         nullptr,
         nullptr},
        {"a bitmap stating 1 GiB",
         {{{Owner(5, helloSize)}}, hello, StatedSection(package::kWizardBitmap, 1u << 30)},
         nullptr,
         "more than the 33554432 such a section may take"},
        {"an uninstaller stating 1 GiB",
         {{{Owner(5, helloSize)}}, hello, StatedSection(package::kUninstallerProgram, 1u << 30)},
         nullptr,
         "more than the 16777216"},
        {"sections that together state too much",
         {{{Owner(5, helloSize)}},
          hello,
          [](CSectionWriter& w) {
              for (int i = 0; i < 5; ++i) StatedSection(package::kVersionBlock, 60u << 20)(w);
          }},
         nullptr,
         "all sections together may take"},
        {"auxiliary files are streamed, not held: five of 60 MB pass",
         {{{Owner(5, helloSize)}},
          hello,
          [](CSectionWriter& w) {
              static const std::vector<uint8_t> packed =
                  CCompressor::Pack(std::vector<uint8_t>(60u << 20).data(), 60u << 20);
              for (int i = 0; i < 5; ++i) {
                  w.BeginSection(package::kAuxFile, package::kSectionPacked,
                                 static_cast<uint32_t>(4 + packed.size()));
                  w.WriteU32(60u << 20);
                  w.Write(packed.data(), packed.size());
              }
          }},
         nullptr,
         nullptr},
        {"an auxiliary file's stream is checked",
         {{{Owner(5, helloSize)}}, hello, StatedSection(package::kAuxFile, 1000)},
         nullptr,
         "section 0x1238"},
        {"a delta sub-stream stating 1 GiB",
         {{{Owner(5, helloSize)}, {delta}}, withDelta},
         nullptr,
         "command sub-stream at offset 0 declares 1073741823 bytes"},
        {"two owners of one stream",
         {{{Owner(5, helloSize), second}}, hello},
         nullptr,
         "inside the data of another entry"},
        {"bytes no entry owns", {{{Owner(5, helloSize)}}, withDelta}, nullptr, "entries own"},
        {"bytes after the data section",
         {{{Owner(5, helloSize)}}, hello},
         [](std::vector<uint8_t>& b) { b.push_back(0); },
         "1 bytes follow the package"},
        {"a certificate table at the end",
         {{{Owner(5, helloSize)}}, hello},
         [](std::vector<uint8_t>& b) {
             size_t pad = (8 - b.size() % 8) % 8;
             b.resize(b.size() + pad);
             size_t table = b.size();
             b.resize(table + 24);
             Put32(b, table, 24);  // dwLength
             b[table + 4] = 0x00;  // wRevision 0x0200
             b[table + 5] = 0x02;
             b[table + 6] = 0x02;  // WIN_CERT_TYPE_PKCS_SIGNED_DATA
             Put32(b, kSecurityEntry, static_cast<uint32_t>(table));
             Put32(b, kSecurityEntry + 4, 24);
         },
         nullptr},
        {"a certificate table the header does not name",
         {{{Owner(5, helloSize)}}, hello},
         [](std::vector<uint8_t>& b) {
             size_t table = b.size();
             b.resize(table + 16);
             Put32(b, table, 16);
             b[table + 5] = 0x02;
         },
         "16 bytes follow the package"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = Write(c.program);
        if (c.after) c.after(bytes);
        CPackageReader reader(std::make_unique<CMemoryPackageInput>(bytes, "setup.exe"));
        try {
            reader.Read();
            reader.VerifySections();
            const auto& versions = reader.Contents().versions;
            for (size_t v = 0; v < versions.size(); ++v) {
                for (size_t e = 0; e < versions[v].files.size(); ++e) reader.VerifyFile(v, e);
            }
            EXPECT_EQ(c.message, nullptr) << c.name << ": accepted";
        } catch (const CPackageException& e) {
            ASSERT_NE(c.message, nullptr) << c.name << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.name << ": " << e.what();
        }
    }
}

// An entry's error carries its place apart from the problem, and its message is UTF-8 with the
// numbers counting from 1, the name converted once and escaped.
TEST(CraftedProgram, AnEntrysErrorNamesItsPlace)
{
    const std::vector<uint8_t> hello = CCompressor::Pack("hello", 5);
    CFileEntry wrong = Owner(5, static_cast<uint32_t>(hello.size()));
    wrong.m_strPath = "caf\xE9\x1b.txt";
    wrong.m_nChecksum ^= 1;
    std::vector<uint8_t> bytes = Write({{{wrong}, {}}, hello});
    CPackageReader reader(std::make_unique<CMemoryPackageInput>(bytes, "s\xC3\xA9tup.exe"));
    reader.Read();
    try {
        reader.VerifyFile(0, 0);
        FAIL() << "verified";
    } catch (const CPackageException& e) {
        EXPECT_EQ(e.File(), "s\xC3\xA9tup.exe");
        EXPECT_EQ(e.Version(), 0u);
        EXPECT_EQ(e.Entry(), 0u);
        EXPECT_EQ(e.Problem().rfind("checksum mismatch", 0), 0u) << e.Problem();
        EXPECT_EQ(std::string(e.what()).rfind(
                      "s\xC3\xA9tup.exe: version 1 entry 1 (\"caf\xC3\xA9\\u001b.txt\"): "
                      "checksum mismatch",
                      0),
                  0u)
            << e.what();
    }
}
