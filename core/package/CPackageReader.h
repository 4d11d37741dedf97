// Reads a setup program: finds the first section through the stub's size slot, walks and unpacks
// every section into plain records (PackageContents), maps the data stream across the
// continuation files, rebuilds the file of any entry (its own copy, data taken over from an
// earlier entry, or a delta against its source entry's file) and checks it against the stored
// checksum with the package key.
//
// The input is untrusted: every size, count, offset and reference is checked before use, memory
// grows only with data actually present, and every fault is a CPackageException that says what
// and where. Files are reached only through IPackageInput (no system calls of its own), so the
// install runtime can use the same code.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/compress/CDecompressor.h"
#include "core/delta/IDeltaReference.h"
#include "core/package/DataLayout.h"
#include "core/package/IPackageInput.h"
#include "core/package/PackageRecords.h"
#include "core/stream/IScratchFile.h"
#include "core/stream/JoinText.h"

namespace velkan {

class IByteSink;

class CPackageReader {
public:
    // Opens continuation file n (1, 2, ...); null when it cannot be opened.
    using ContinuationOpener = std::function<std::unique_ptr<IPackageInput>(int n)>;
    // Opens the file of an entry kept outside the setup program, by the checked components of
    // its path (Windows-1252); null when it is not there.
    using ExternalOpener =
        std::function<std::unique_ptr<IDeltaReference>(const std::vector<std::string>& parts)>;

    // A reference file above this size is rebuilt into a scratch file rather than memory.
    static constexpr uint64_t kMemoryReferenceLimit = 64ull << 20;
    // Longest chain of deltas followed to reach a reference (the writer makes chains of one).
    static constexpr size_t kMaxReferenceDepth = 8;

    explicit CPackageReader(std::unique_ptr<IPackageInput> input, ContinuationOpener opener = {});
    ~CPackageReader();

    // A reader of the setup program at a host path, with its continuation files beside it and
    // the engine's scratch files (CDeltaTempFile). Throws CFileException when the file cannot be
    // opened. (Defined apart, in CPackageReaderOnHost.cpp, so the reading code builds without the
    // host's file layer: the install runtime brings its own.)
    static std::unique_ptr<CPackageReader> OpenFile(const std::string& path);

    // Where files kept outside the setup program are found when a delta needs one as its
    // reference. Without an opener such a delta cannot be rebuilt.
    void SetExternalOpener(ExternalOpener opener) { m_externalOpener = std::move(opener); }
    // Where a reference above kMemoryReferenceLimit is rebuilt. Without a maker such a delta
    // cannot be rebuilt.
    void SetScratchFileMaker(ScratchFileMaker maker) { m_scratchFileMaker = std::move(maker); }

    // Decodes the stub slots and every section and checks that the data stream adds up
    // (CheckDataLayout) and that nothing but a certificate table follows it. Throws
    // CPackageException.
    void Read();
    const PackageContents& Contents() const { return m_contents; }

    // The unpacked body of section index (as listed in Contents().sections).
    std::vector<uint8_t> ReadSectionBody(size_t index);
    // The same, streamed into output in pieces (for a streamed section: the auxiliary file).
    void ReadSectionBody(size_t index, IByteSink& output);
    // Decodes the bodies Read() does not hold (IsStreamedSection), into nothing, so a faulty
    // packed stream in one of them is found without holding it. Throws CPackageException.
    void VerifySections();

    // Maps the data stream over the setup program and its continuation files.
    void LoadDataChunks();
    // Reads size bytes of the data stream at offset.
    void ReadData(uint64_t offset, void* buffer, size_t size);

    const CFileEntry& GetEntry(size_t version, size_t entry) const;
    // "version V entry E ("PATH")" for messages: UTF-8, numbers counting from 1, the path escaped
    // as ShownName does.
    std::string DescribeEntry(size_t version, size_t entry) const;

    // Rebuilds the file of an entry (for the uninstaller entry: its unpacked data block) into
    // output and returns its checksum (seed 0). Throws CPackageException when the entry has no
    // data, is kept external, or any stream, delta or reference is faulty.
    uint32_t RebuildFile(size_t version, size_t entry, IByteSink& output);
    // Rebuilds the file and compares its checksum with the stored one (XOR the package key).
    // Throws CPackageException on any failure. Entries kept external have nothing to compare; an
    // entry without data must claim no file (size and checksum 0); the uninstaller entry's data
    // block must decode (its checksum is stored as 0). A takeover is not rebuilt again: it agrees
    // with its owner in every number.
    void VerifyFile(size_t version, size_t entry);
    // The decoded uninstaller data block of an uninstaller entry.
    UninstallerDataRecord ReadUninstallerData(size_t version, size_t entry);

private:
    using EntryChain = std::vector<std::pair<size_t, size_t>>;

    void ReadStub();
    void ReadSections();
    // Checks the data section's header and first chunk and records them in the contents.
    void ReadDataSectionHeader(const SectionRecord& section);
    // The section of that index, when its body may be unpacked (else the package is refused).
    const SectionRecord& UnpackableSection(size_t index) const;
    std::vector<uint8_t> ReadBody(const SectionRecord& section);
    void ReadBody(const SectionRecord& section, IByteSink& output);
    // Sets the section's unpacked size from its header and refuses it when over its cap or
    // when held bytes plus it pass the total (SectionLimits.h); nothing is unpacked here.
    void CheckSectionSize(SectionRecord& section, uint64_t held);
    void DecodeSection(SectionRecord& section, const std::vector<uint8_t>& body);
    std::string SectionName(const SectionRecord& section) const;
    uint32_t Rebuild(size_t version, size_t entry, IByteSink& output, EntryChain& chain);
    // The file kept outside of the entry, checked against its stored size and checksum; failures
    // name the entry (userVersion, userEntry) whose delta needs it.
    std::unique_ptr<IDeltaReference> OpenExternal(size_t version, size_t entry, size_t userVersion,
                                                  size_t userEntry);
    [[noreturn]] void Fail(const std::string& problem) const;
    [[noreturn]] void Fail(std::initializer_list<TextPiece> problem) const;
    // A CPackageException of the entry, with its place apart from the problem.
    [[noreturn]] void FailEntry(size_t version, size_t entry, const std::string& problem) const;

    std::unique_ptr<IPackageInput> m_input;
    ContinuationOpener m_opener;
    ExternalOpener m_externalOpener;
    ScratchFileMaker m_scratchFileMaker;
    std::vector<std::unique_ptr<IPackageInput>> m_continuations;
    PackageContents m_contents;
    std::vector<std::vector<EntryRole>> m_roles;  // of every entry, from CheckDataLayout
    CDecompressor m_decoder;  // reused for every packed stream: its state is large
    bool m_bChunksLoaded = false;
};

}  // namespace velkan
