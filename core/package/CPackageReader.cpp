#include "core/package/CPackageReader.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/compress/CDecompressor.h"
#include "core/delta/CDeltaDecoder.h"
#include "core/delta/CDeltaException.h"
#include "core/delta/CFileDeltaReference.h"
#include "core/delta/CMemoryDeltaReference.h"
#include "core/package/CByteReader.h"
#include "core/package/CChecksumAccumulator.h"
#include "core/package/CChecksumSink.h"
#include "core/package/CPackageException.h"
#include "core/package/CertificateTable.h"
#include "core/package/DataLayout.h"
#include "core/package/EntryPath.h"
#include "core/package/PackageChecksum.h"
#include "core/package/PackageDecoding.h"
#include "core/package/PackageFormat.h"
#include "core/package/SectionLimits.h"
#include "core/package/ShownName.h"
#include "core/package/StubMarker.h"
#include "core/stream/CFile.h"
#include "core/stream/CMemorySink.h"
#include "core/stream/JoinText.h"
#include "core/stream/LittleEndian.h"

namespace velkan {

using namespace package;

namespace {

std::string Hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// Reads a range of an input as a byte source, in pieces.
class CRangeSource : public IByteSource {
public:
    CRangeSource(IPackageInput& input, uint64_t start, uint64_t length)
        : m_input(input), m_start(start), m_length(length)
    {
    }
    size_t Read(void* buffer, size_t size) override
    {
        uint64_t left = m_length - m_pos;
        size_t n = static_cast<size_t>(std::min<uint64_t>(size, left));
        if (n) m_input.ReadAt(m_start + m_pos, buffer, n);
        m_pos += n;
        return n;
    }
    uint64_t GetPosition() const override { return m_pos; }

private:
    IPackageInput& m_input;
    uint64_t m_start;
    uint64_t m_length;
    uint64_t m_pos = 0;
};

// A range of the data stream, which may cross continuation files.
class CDataSource : public IByteSource {
public:
    CDataSource(CPackageReader& reader, uint64_t start, uint64_t length)
        : m_reader(reader), m_start(start), m_length(length)
    {
    }
    size_t Read(void* buffer, size_t size) override
    {
        uint64_t left = m_length - m_pos;
        size_t n = static_cast<size_t>(std::min<uint64_t>(size, left));
        if (n) m_reader.ReadData(m_start + m_pos, buffer, n);
        m_pos += n;
        return n;
    }
    uint64_t GetPosition() const override { return m_pos; }

private:
    CPackageReader& m_reader;
    uint64_t m_start;
    uint64_t m_length;
    uint64_t m_pos = 0;
};

class CNullSink : public IByteSink {
public:
    void Write(const void*, size_t size) override { m_written += size; }
    uint64_t GetPosition() const override { return m_written; }

private:
    uint64_t m_written = 0;
};

// Position of the first marker with the tag in [start, end) whose slot also lies before end.
std::optional<uint64_t> SearchMarker(IPackageInput& input, uint64_t end, const MarkerTag& tag)
{
    constexpr size_t kPiece = 65536;
    constexpr size_t kSpan = kMarkerSize + kSlotSize;
    std::vector<uint8_t> buffer;
    uint64_t base = 0;
    while (base + kSpan <= end) {
        size_t length = static_cast<size_t>(std::min<uint64_t>(kPiece + kSpan - 1, end - base));
        buffer.resize(length);
        input.ReadAt(base, buffer.data(), length);
        // Pieces overlap by kSpan - 1 bytes, so a marker across a piece's end is found whole (a
        // match inside the overlap is still the first: every position before it was tested).
        if (auto p = FindMarker(buffer.data(), length, tag)) return base + *p;
        base += kPiece;
    }
    return std::nullopt;
}

}  // namespace

CPackageReader::CPackageReader(std::unique_ptr<IPackageInput> input, ContinuationOpener opener)
    : m_input(std::move(input)), m_opener(std::move(opener))
{
}

CPackageReader::~CPackageReader() = default;

void CPackageReader::Fail(const std::string& problem) const
{
    throw CPackageException({m_input->GetName(), ": ", problem});
}

void CPackageReader::Fail(std::initializer_list<TextPiece> problem) const
{
    Fail(JoinText(problem));
}

void CPackageReader::FailEntry(size_t version, size_t entry, const std::string& problem) const
{
    throw CPackageException(m_input->GetName(), version, entry, GetEntry(version, entry).m_strPath,
                            problem);
}

void CPackageReader::Read()
{
    m_contents = PackageContents();
    m_continuations.clear();
    m_bChunksLoaded = false;
    m_contents.fileLength = m_input->GetLength();
    ReadStub();
    ReadSections();
    try {
        m_roles = CheckDataLayout(m_contents);
    } catch (const CPackageException& e) {
        if (e.Version() && e.Entry()) FailEntry(*e.Version(), *e.Entry(), e.Problem());
        Fail(e.what());
    }
    m_contents.key =
        PackageKey(m_contents.keySeed, (m_contents.projectFlags.value_or(0) & kFlagFullScreen) != 0,
                   m_contents.backTitle.value_or(std::string()));
}

void CPackageReader::ReadStub()
{
    uint64_t length = m_contents.fileLength;
    auto sizeMarker = SearchMarker(*m_input, length, kSizeMarker);
    if (!sizeMarker) Fail("no size marker in the stub: not a setup program");
    uint8_t slot[4];
    m_input->ReadAt(*sizeMarker + kMarkerSize, slot, 4);
    uint32_t stubSize = LoadLE32(slot);
    if (stubSize < *sizeMarker + kMarkerSize + kSlotSize || stubSize > length) {
        Fail({"the stub's size slot (", stubSize,
              ") does not lie after its marker and within the file (", length, " bytes)"});
    }
    m_contents.stubSize = stubSize;
    auto keyMarker = SearchMarker(*m_input, stubSize, kKeyMarker);
    m_contents.hasKeyMarker = keyMarker.has_value();
    if (keyMarker) {
        m_input->ReadAt(*keyMarker + kMarkerSize, slot, 4);
        m_contents.keySeed = LoadLE32(slot) ^ kKeySlotXor;
    } else {
        m_contents.keySeed = kKeyFallback;
    }
}

std::string CPackageReader::SectionName(const SectionRecord& section) const
{
    return "section " + Hex(section.id) + " at offset " + std::to_string(section.offset);
}

std::vector<uint8_t> CPackageReader::ReadBody(const SectionRecord& section)
{
    CMemorySink sink;
    ReadBody(section, sink);
    return sink.Take();
}

void CPackageReader::ReadBody(const SectionRecord& section, IByteSink& output)
{
    uint64_t bodyStart = section.offset + kSectionHeaderSize;
    if (!(section.flags & kSectionPacked)) {
        CRangeSource source(*m_input, bodyStart, section.bodySize);
        std::vector<uint8_t> piece(std::min<size_t>(section.bodySize, 1u << 16));
        while (size_t n = source.Read(piece.data(), piece.size())) output.Write(piece.data(), n);
        return;
    }
    if (section.bodySize < 4) Fail({SectionName(section), ": a packed body shorter than 4 bytes"});
    uint8_t sizeField[4];
    m_input->ReadAt(bodyStart, sizeField, 4);
    uint32_t unpacked = LoadLE32(sizeField);
    uint64_t packed = section.bodySize - 4;
    CRangeSource source(*m_input, bodyStart + 4, packed);
    CDecompressor
        decoder;  // not m_decoder: sections are few, and one may load while a file decodes
    try {
        decoder.Decode(output, source, unpacked, packed);
    } catch (const CDecodeError& e) {
        Fail({SectionName(section), ": ", e.what()});
    }
    if (decoder.GetInputUsed() != packed) {
        Fail({SectionName(section), ": the packed stream ends ", packed - decoder.GetInputUsed(),
              " bytes before the body"});
    }
}

const SectionRecord& CPackageReader::UnpackableSection(size_t index) const
{
    if (index >= m_contents.sections.size()) Fail({"no section ", index});
    const SectionRecord& section = m_contents.sections[index];
    if (section.id == kDataSection) Fail("the data section has no body to unpack");
    // Checked again: the cap of a section the reader does not use is 0, so it is never unpacked.
    if (section.unpackedSize > MaxUnpackedSectionSize(section.id)) {
        Fail({SectionName(section), ": a section of this kind is not unpacked beyond ",
              MaxUnpackedSectionSize(section.id), " bytes"});
    }
    return section;
}

std::vector<uint8_t> CPackageReader::ReadSectionBody(size_t index)
{
    return ReadBody(UnpackableSection(index));
}

void CPackageReader::ReadSectionBody(size_t index, IByteSink& output)
{
    ReadBody(UnpackableSection(index), output);
}

void CPackageReader::VerifySections()
{
    for (size_t i = 0; i < m_contents.sections.size(); ++i) {
        if (!IsStreamedSection(m_contents.sections[i].id)) continue;
        CNullSink nothing;
        ReadSectionBody(i, nothing);
    }
}

void CPackageReader::ReadSections()
{
    // First every header is walked and every stated size checked, so nothing is unpacked from a
    // program whose sections together would pass the bound; then the sections are decoded in order.
    uint64_t length = m_contents.fileLength;
    uint64_t pos = m_contents.stubSize;
    uint64_t held = 0;  // unpacked bytes the sections kept in the contents will take
    for (;;) {
        if (length - pos < kSectionHeaderSize) {
            Fail({"the file ends at offset ", length,
                  " without its data section (a section header was expected at offset ", pos, ")"});
        }
        uint8_t header[kSectionHeaderSize];
        m_input->ReadAt(pos, header, sizeof header);
        SectionRecord section;
        section.id = LoadLE16(header);
        section.flags = LoadLE16(header + 2);
        section.offset = pos;
        section.bodySize = LoadLE32(header + 4);
        section.unpackedSize = section.bodySize;

        if (section.id == kDataSection) {
            ReadDataSectionHeader(section);
            m_contents.sections.push_back(section);
            break;
        }
        if (section.bodySize > length - pos - kSectionHeaderSize) {
            Fail({SectionName(section), ": a body of ", section.bodySize,
                  " bytes passes the end of the file"});
        }
        CheckSectionSize(section, held);
        // The dialog block is only measured, a streamed section is not held; the rest stays in
        // the contents.
        if (MaxUnpackedSectionSize(section.id) != 0 && section.id != kDialogBlock &&
            !IsStreamedSection(section.id)) {
            held += section.unpackedSize;
        }
        m_contents.sections.push_back(section);
        pos += kSectionHeaderSize + section.bodySize;
    }
    for (SectionRecord& section : m_contents.sections) {
        if (section.id == kDataSection || MaxUnpackedSectionSize(section.id) == 0) continue;
        if (section.id == kAuxFile) {
            m_contents.auxFileSize = section.unpackedSize;
            continue;
        }
        std::vector<uint8_t> body = ReadBody(section);
        section.unpackedSize = static_cast<uint32_t>(body.size());
        DecodeSection(section, body);
    }
}

void CPackageReader::ReadDataSectionHeader(const SectionRecord& section)
{
    uint64_t length = m_contents.fileLength;
    uint64_t pos = section.offset;
    if (length - pos - kSectionHeaderSize < 4) {
        Fail({SectionName(section), ": the file ends before the chunk length"});
    }
    uint8_t chunkField[4];
    m_input->ReadAt(pos + kSectionHeaderSize, chunkField, 4);
    uint64_t chunk = LoadLE32(chunkField);
    uint64_t chunkStart = pos + kSectionHeaderSize + 4;
    if (chunk > length - chunkStart) {
        Fail({SectionName(section), ": a chunk of ", chunk, " bytes where the file holds ",
              length - chunkStart});
    }
    if (chunk > section.bodySize) {
        Fail({SectionName(section), ": a chunk of ", chunk, " bytes in a data stream of ",
              section.bodySize});
    }
    if (auto problem = ProblemAfterPackage(*m_input, chunkStart + chunk)) {
        Fail(SectionName(section) + ": " + *problem);
    }
    m_contents.hasDataSection = true;
    m_contents.dataLength = section.bodySize;
    m_contents.dataChunks.push_back({0, chunkStart, chunk});
}

void CPackageReader::CheckSectionSize(SectionRecord& section, uint64_t held)
{
    uint32_t declared = section.bodySize;
    if (section.flags & kSectionPacked) {
        if (section.bodySize < 4)
            Fail({SectionName(section), ": a packed body shorter than 4 bytes"});
        uint8_t sizeField[4];
        m_input->ReadAt(section.offset + kSectionHeaderSize, sizeField, 4);
        declared = LoadLE32(sizeField);
    }
    section.unpackedSize = declared;
    uint32_t cap = MaxUnpackedSectionSize(section.id);
    if (cap == 0) return;  // not ours: listed, never unpacked
    if (declared > cap) {
        Fail({SectionName(section), ": unpacks to ", declared, " bytes, more than the ", cap,
              " such a section may take"});
    }
    if (section.id != kDialogBlock && !IsStreamedSection(section.id) &&
        declared > kMaxHeldSectionBytes - held) {
        Fail({SectionName(section), ": unpacks to ", declared, " bytes, beyond the ",
              kMaxHeldSectionBytes, " bytes all sections together may take"});
    }
}

void CPackageReader::DecodeSection(SectionRecord& section, const std::vector<uint8_t>& body)
{
    auto& c = m_contents;
    auto currentVersion = [&]() -> VersionRecord& {
        if (c.versions.empty())
            Fail({SectionName(section), ": a version's section before any version block"});
        section.version = static_cast<int>(c.versions.size()) - 1;
        return c.versions.back();
    };
    try {
        switch (section.id) {
        case kDialogBlock:
            c.dialogBlockSize = static_cast<uint32_t>(body.size());
            c.dialogBlock = body;
            break;
        case kProjectFlags: {
            CByteReader reader(body.data(), body.size(), "project flags");
            c.projectFlags = reader.U32();
            break;
        }
        case kBackTitle: {
            CByteReader reader(body.data(), body.size(), "background title");
            c.backTitle = reader.ZString();
            break;
        }
        case kTitleStyle: c.titleStyle = DecodeTitleStyle(body.data(), body.size()); break;
        case kWizardBitmap: c.wizardBitmap = body; break;
        case kBackBitmap: c.backBitmap = body; break;
        case kUninstallerProgram: c.uninstallerProgram = body; break;
        case kTestSection: {
            CByteReader reader(body.data(), body.size(), "test section");
            TestSectionRecord test;
            test.pageCode = reader.U16();
            test.currentVersion = reader.U16();
            c.testSection = test;
            break;
        }
        case kVersionBlock: {
            VersionRecord version;
            version.block = DecodeVersionBlock(body.data(), body.size());
            c.versions.push_back(std::move(version));
            section.version = static_cast<int>(c.versions.size()) - 1;
            break;
        }
        case kIniEntries:
            currentVersion().iniEntries = DecodeIniList(body.data(), body.size());
            break;
        case kRegEntries:
            currentVersion().regEntries = DecodeRegList(body.data(), body.size());
            break;
        case kFileStrings:
            currentVersion().fileStrings = DecodeFileStringList(body.data(), body.size());
            break;
        case kFileTable: {
            VersionRecord& version = currentVersion();
            if (version.hasFileTable)
                Fail({SectionName(section), ": a second file table for the version"});
            version.files = DecodeFileTable(body.data(), body.size());
            version.hasFileTable = true;
            break;
        }
        default: break;  // sections of other runtimes are listed but not decoded
        }
    } catch (const CPackageException& e) {
        std::string what = e.what();
        if (what.rfind(m_input->GetName(), 0) == 0) throw;
        Fail({SectionName(section), ": ", what});
    }
}

void CPackageReader::LoadDataChunks()
{
    if (m_bChunksLoaded) return;
    if (!m_contents.hasDataSection) Fail("no data section was read");
    uint64_t total = m_contents.dataChunks.front().length;
    int n = 0;
    while (total < m_contents.dataLength) {
        ++n;
        std::unique_ptr<IPackageInput> file = m_opener ? m_opener(n) : nullptr;
        if (!file) {
            Fail({"the data stream continues in continuation file ", n,
                  ", which cannot be opened (", total, " of ", m_contents.dataLength,
                  " bytes found)"});
        }
        uint64_t fileLength = file->GetLength();
        if (fileLength < 4)
            Fail({file->GetName(), ": a continuation file without its chunk length"});
        uint8_t field[4];
        file->ReadAt(0, field, 4);
        uint64_t chunk = LoadLE32(field);
        if (chunk == 0 || chunk != fileLength - 4) {
            Fail({file->GetName(), ": a chunk length of ", chunk, " in a file of ", fileLength,
                  " bytes (its chunk must fill it)"});
        }
        if (chunk > m_contents.dataLength - total) {
            Fail({file->GetName(), ": the chunks exceed the data stream length of ",
                  m_contents.dataLength, " bytes"});
        }
        m_contents.dataChunks.push_back({n, 4, chunk});
        m_continuations.push_back(std::move(file));
        total += chunk;
    }
    m_bChunksLoaded = true;
}

void CPackageReader::ReadData(uint64_t offset, void* buffer, size_t size)
{
    LoadDataChunks();
    if (offset > m_contents.dataLength || size > m_contents.dataLength - offset) {
        Fail({"data at ", offset, " (", size, " bytes) lies outside the data stream of ",
              m_contents.dataLength, " bytes"});
    }
    auto* out = static_cast<uint8_t*>(buffer);
    uint64_t chunkStart = 0;
    for (const DataChunkRecord& chunk : m_contents.dataChunks) {
        if (size == 0) return;
        uint64_t chunkEnd = chunkStart + chunk.length;
        if (offset < chunkEnd) {
            uint64_t within = offset - chunkStart;
            size_t n = static_cast<size_t>(std::min<uint64_t>(size, chunk.length - within));
            IPackageInput& file =
                chunk.fileIndex == 0 ? *m_input : *m_continuations[chunk.fileIndex - 1];
            file.ReadAt(chunk.offset + within, out, n);
            out += n;
            offset += n;
            size -= n;
        }
        chunkStart = chunkEnd;
    }
    if (size != 0) Fail("the data stream is shorter than its header says");
}

const CFileEntry& CPackageReader::GetEntry(size_t version, size_t entry) const
{
    if (version >= m_contents.versions.size()) {
        Fail({"no version ", version + 1, " (the program has ", m_contents.versions.size(), ")"});
    }
    const auto& files = m_contents.versions[version].files;
    if (entry >= files.size()) {
        Fail({"version ", version + 1, " has no entry ", entry + 1, " (its table has ",
              files.size(), ")"});
    }
    return files[entry];
}

std::string CPackageReader::DescribeEntry(size_t version, size_t entry) const
{
    return velkan::DescribeEntry(version, entry, GetEntry(version, entry).m_strPath);
}

uint32_t CPackageReader::RebuildFile(size_t version, size_t entry, IByteSink& output)
{
    EntryChain chain;
    return Rebuild(version, entry, output, chain);
}

uint32_t CPackageReader::Rebuild(size_t version, size_t entry, IByteSink& output, EntryChain& chain)
{
    const CFileEntry& e = GetEntry(version, entry);
    if (std::find(chain.begin(), chain.end(), std::make_pair(version, entry)) != chain.end()) {
        FailEntry(version, entry, "its source references form a loop");
    }
    if (chain.size() >= kMaxReferenceDepth)
        FailEntry(version, entry, "too long a chain of delta references");
    if (e.IsExternal()) FailEntry(version, entry, "the file is kept outside the setup program");
    if (e.HasNoData()) FailEntry(version, entry, "the entry carries no data");
    LoadDataChunks();
    if (e.m_nOffset > m_contents.dataLength ||
        e.m_nPackedSize > m_contents.dataLength - e.m_nOffset) {
        FailEntry(
            version, entry,
            JoinText({"its data (", e.m_nPackedSize, " bytes at ", e.m_nOffset,
                      ") lies outside the data stream of ", m_contents.dataLength, " bytes"}));
    }
    chain.emplace_back(version, entry);
    CChecksumSink sink(output);
    try {
        if (e.m_nFlags & kEntryDelta) {
            size_t sourceVersion = e.m_nSourceVersion;
            size_t sourceEntry = e.m_nSourceEntry;
            if (sourceVersion >= m_contents.versions.size() ||
                sourceEntry >= m_contents.versions[sourceVersion].files.size()) {
                FailEntry(version, entry,
                          JoinText({"its delta names version ", sourceVersion + 1, " entry ",
                                    sourceEntry + 1, ", which does not exist"}));
            }
            const CFileEntry& reference = GetEntry(sourceVersion, sourceEntry);
            std::vector<uint8_t> delta(e.m_nPackedSize);
            ReadData(e.m_nOffset, delta.data(), delta.size());
            if (reference.IsExternal()) {
                std::unique_ptr<IDeltaReference> ref =
                    OpenExternal(sourceVersion, sourceEntry, version, entry);
                CDeltaDecoder::Apply(delta.data(), delta.size(), *ref, sink, e.m_nSize);
            } else if (reference.m_nSize > kMemoryReferenceLimit) {
                if (!m_scratchFileMaker) {
                    FailEntry(version, entry,
                              JoinText({"its delta's reference of ", reference.m_nSize,
                                        " bytes needs a scratch file, and this reader has none"}));
                }
                std::unique_ptr<IScratchFile> temp = m_scratchFileMaker();
                {
                    CFile file(temp->Path(), CFile::Mode::Create);
                    Rebuild(sourceVersion, sourceEntry, file, chain);
                    file.Close();
                }
                CFileDeltaReference ref(temp->Path());
                CDeltaDecoder::Apply(delta.data(), delta.size(), ref, sink, e.m_nSize);
            } else {
                CMemorySink refBytes;
                Rebuild(sourceVersion, sourceEntry, refBytes, chain);
                CMemoryDeltaReference ref(refBytes.Bytes().data(), refBytes.Bytes().size());
                CDeltaDecoder::Apply(delta.data(), delta.size(), ref, sink, e.m_nSize);
            }
        } else {
            CDataSource source(*this, e.m_nOffset, e.m_nPackedSize);
            m_decoder.Decode(sink, source, e.m_nSize, e.m_nPackedSize);
            if (m_decoder.GetInputUsed() != e.m_nPackedSize) {
                FailEntry(
                    version, entry,
                    JoinText({"its packed stream ends ", e.m_nPackedSize - m_decoder.GetInputUsed(),
                              " bytes before its packed size"}));
            }
        }
    } catch (const CDecodeError& error) {
        FailEntry(version, entry, error.what());
    } catch (const CDeltaException& error) {
        FailEntry(version, entry, std::string("delta: ") + error.what());
    }
    chain.pop_back();
    return sink.Value();
}

std::unique_ptr<IDeltaReference> CPackageReader::OpenExternal(size_t version, size_t entry,
                                                              size_t userVersion, size_t userEntry)
{
    const CFileEntry& e = GetEntry(version, entry);
    std::string what =
        "its reference, " + DescribeEntry(version, entry) + ", is kept outside the setup program";
    auto fail = [&](const std::string& problem) { FailEntry(userVersion, userEntry, problem); };
    std::string reason;
    std::vector<std::string> parts = SplitEntryPath(e.m_strPath, reason);
    if (parts.empty()) fail(JoinText({what, " under a refused path (", reason, ")"}));
    std::unique_ptr<IDeltaReference> file = m_externalOpener ? m_externalOpener(parts) : nullptr;
    if (!file) fail(JoinText({what, " and was not found"}));
    if (file->GetLength() != e.m_nSize) {
        fail(JoinText(
            {what, " and the file found is ", file->GetLength(), " bytes long, not ", e.m_nSize}));
    }
    CChecksumAccumulator sum;
    std::vector<uint8_t> piece(kFilePiece);
    for (uint64_t at = 0; at < e.m_nSize; at += piece.size()) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(piece.size(), e.m_nSize - at));
        file->ReadAt(at, piece.data(), n);
        sum.Add(piece.data(), n);
    }
    if ((sum.Value() ^ m_contents.key) != e.m_nChecksum) {
        fail(JoinText({what, " and the file found differs from it"}));
    }
    return file;
}

void CPackageReader::VerifyFile(size_t version, size_t entry)
{
    const CFileEntry& e = GetEntry(version, entry);
    if (e.HasNoData() && (e.m_nSize != 0 || e.m_nChecksum != 0)) {
        FailEntry(version, entry,
                  JoinText({"it claims a file of ", e.m_nSize, " bytes but stores no data"}));
    }
    if (e.IsExternal() || e.HasNoData()) return;
    // A takeover agrees in every number with its owner, whose stream is checked on its own.
    if (m_roles[version][entry] == EntryRole::Takeover) return;
    if (e.m_nFlags & kEntryUninstaller) {
        ReadUninstallerData(version, entry);  // no checksum: the block itself must decode
        return;
    }
    CNullSink sink;
    uint32_t sum = RebuildFile(version, entry, sink);
    if ((sum ^ m_contents.key) != e.m_nChecksum) {
        char text[96];
        std::snprintf(text, sizeof text, "checksum mismatch (stored 0x%08X, file gives 0x%08X)",
                      e.m_nChecksum ^ m_contents.key, sum);
        FailEntry(version, entry, text);
    }
}

UninstallerDataRecord CPackageReader::ReadUninstallerData(size_t version, size_t entry)
{
    const CFileEntry& e = GetEntry(version, entry);
    if (!(e.m_nFlags & kEntryUninstaller)) FailEntry(version, entry, "not the uninstaller entry");
    CMemorySink block;
    RebuildFile(version, entry, block);
    try {
        return DecodeUninstallerData(block.Bytes().data(), block.Bytes().size());
    } catch (const CPackageException& error) {
        FailEntry(version, entry, error.what());
    }
}

}  // namespace velkan
