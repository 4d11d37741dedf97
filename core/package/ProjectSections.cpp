#include "core/package/ProjectSections.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <new>
#include <system_error>

#include "core/compress/CCompressor.h"
#include "core/model/CDataArray.h"
#include "core/package/CByteBuffer.h"
#include "core/package/CSectionWriter.h"
#include "core/package/PackageFormat.h"
#include "core/package/SectionLimits.h"
#include "core/package/StubImage.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/CodePage.h"
#include "core/stream/CFile.h"
#include "core/stream/CFileException.h"
#include "core/stream/IByteSource.h"
#include "core/stream/LittleEndian.h"

namespace velkan {

using namespace package;

namespace {

// A file past its section's cap would make a program every reader refuses: the build stops.
void CheckFitsSection(uint16_t id, const std::string& path, uint64_t size)
{
    const uint64_t cap = MaxUnpackedSectionSize(id);
    if (size <= cap) return;
    throw CFileException(Cp1252ToUtf8(path), "a file of " + std::to_string(size) +
                                                 " bytes; a setup program carries at most " +
                                                 std::to_string(cap) + " bytes for it");
}

// Writes a whole bitmap file as one section when it can be read, is not empty and passes the test.
void WriteBitmapSection(CSectionWriter& writer, uint16_t id, const std::string& path,
                        const ReadFileProc& readFile)
{
    // Refused by its size on disk, before it is read into memory.
    std::error_code ec;
    const uint64_t size = std::filesystem::file_size(Cp1252ToUtf8(path), ec);
    if (!ec) CheckFitsSection(id, path, size);
    std::optional<std::vector<uint8_t>> bytes;
    try {
        bytes = readFile(path);
    } catch (const std::exception&) {
        return;  // an unreadable file is left out, the build goes on
    }
    if (!bytes || bytes->empty()) return;
    if (!PassesBitmapTest(*bytes)) return;
    if (bytes->size() > MaxUnpackedSectionSize(id)) return;
    writer.WriteSection(id, bytes->data(), static_cast<uint32_t>(bytes->size()));
}

// Reads at most a fixed number of bytes of a source.
class CBoundedSource : public IByteSource {
public:
    CBoundedSource(IByteSource& source, uint64_t length) : m_source(source), m_left(length) {}
    size_t Read(void* buffer, size_t size) override
    {
        size_t n = m_source.Read(buffer, static_cast<size_t>(std::min<uint64_t>(size, m_left)));
        m_left -= n;
        m_read += n;
        return n;
    }
    uint64_t GetPosition() const override { return m_read; }

private:
    IByteSource& m_source;
    uint64_t m_left;
    uint64_t m_read = 0;
};

// Writes a whole file as one section, packed from the file in pieces: the same bytes as
// a section written whole, with only the compressor's buffers in memory.
void WriteStreamedSection(CSectionWriter& writer, uint16_t id, const std::string& path,
                          const OpenFileProc& openFile)
{
    uint64_t length = 0;
    std::unique_ptr<IByteSource> file;
    try {
        file = openFile(path, length);
    } catch (const std::exception&) {
        return;  // an unreadable file is left out, the build goes on
    }
    if (!file || length == 0) return;
    CheckFitsSection(id, path, length);
    const auto size = static_cast<uint32_t>(length);
    CBoundedSource source(*file, size);
    if (size < kPackThreshold) {
        uint8_t bytes[kPackThreshold];
        size_t got = 0;
        while (size_t n = source.Read(bytes + got, size - got)) got += n;
        if (got == size) writer.WriteSection(id, bytes, size);
        return;
    }
    writer.WriteSection(id, nullptr, size);
    writer.WriteU32(size);
    CCompressor compressor;
    // No room for the compressor's output buffer: as any other allocation that fails.
    if (compressor.CompressFile(writer, source, size) == 0) throw std::bad_alloc();
    // The stated size was written first: a file that shrank while read cannot be left out now.
    if (source.GetPosition() != size) {
        throw CFileException(Cp1252ToUtf8(path), "the file changed while it was read");
    }
    writer.CloseSection();
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadProjectFile(const std::string& path)
{
    try {
        return ReadWholeFile(Cp1252ToUtf8(path));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

uint32_t ProjectFlags(const CDataArray& project)
{
    uint32_t flags = 0;
    if (project.m_nWindowMode == CDataArray::FullScreen) flags |= kFlagFullScreen;
    if (project.m_bExclusive) flags |= kFlagExclusive;
    return flags;
}

bool HasBackTitle(const CDataArray& project)
{
    return project.m_nWindowMode == CDataArray::FullScreen && !project.m_strBackTitle.empty();
}

bool WriteDialogBlock(CSectionWriter& writer, const std::vector<uint8_t>* block)
{
    if (block == nullptr || block->empty() || block->size() > 0xFFFFFFFFull) return false;
    writer.WriteSection(kDialogBlock, block->data(), static_cast<uint32_t>(block->size()),
                        CSectionWriter::kModePrePacked);
    return true;
}

std::unique_ptr<IByteSource> OpenProjectFile(const std::string& path, uint64_t& length)
{
    try {
        auto file = std::make_unique<CFile>(Cp1252ToUtf8(path), CFile::Mode::Read);
        length = file->GetLength();
        return file;
    } catch (const std::exception&) {
        return nullptr;
    }
}

void WriteProjectSections(CSectionWriter& writer, const CDataArray& project,
                          const ReadFileProc& readFile, const OpenFileProc& openFile)
{
    CByteBuffer flags;
    flags.PutU32(ProjectFlags(project));
    writer.WriteSection(kProjectFlags, flags.Data(), static_cast<uint32_t>(flags.Size()));

    bool fullScreen = project.m_nWindowMode == CDataArray::FullScreen;
    if (HasBackTitle(project)) {
        CByteBuffer title;
        title.PutZString(project.m_strBackTitle);
        writer.WriteSection(kBackTitle, title.Data(), static_cast<uint32_t>(title.Size()));

        CByteBuffer style;
        style.PutU32(static_cast<uint32_t>(project.m_nTitleReserved));
        style.PutU32(project.m_crTitleColor);
        auto font = project.m_lfTitleFont.ToBytes();
        style.PutBytes(font.data(), font.size());
        writer.WriteSection(kTitleStyle, style.Data(), static_cast<uint32_t>(style.Size()));
    }
    if (!project.m_strWizardBitmap.empty()) {
        WriteBitmapSection(writer, kWizardBitmap, project.m_strWizardBitmap, readFile);
    }
    if (fullScreen && !project.m_strBackBitmap.empty()) {
        WriteBitmapSection(writer, kBackBitmap, project.m_strBackBitmap, readFile);
    }
    if (!project.m_strAuxFile.empty()) {
        WriteStreamedSection(writer, kAuxFile, project.m_strAuxFile, openFile);
    }
}

uint64_t WriteUninstallerProgram(CSectionWriter& writer, std::vector<uint8_t> executable,
                                 bool patchSizeSlot)
{
    if (patchSizeSlot) PatchSizeSlot(executable);
    uint64_t start = writer.GetPosition();
    writer.WriteSection(kUninstallerProgram, executable.data(),
                        static_cast<uint32_t>(executable.size()));
    return writer.GetPosition() - start;
}

}  // namespace velkan
