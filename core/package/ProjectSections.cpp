#include "core/package/ProjectSections.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "core/model/CDataArray.h"
#include "core/package/CByteBuffer.h"
#include "core/package/CSectionWriter.h"
#include "core/package/PackageFormat.h"
#include "core/package/SectionLimits.h"
#include "core/package/StubImage.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/CodePage.h"
#include "core/stream/CFileException.h"

namespace velkan {

using namespace package;

namespace {

int32_t GetI32(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                (static_cast<uint32_t>(b[at + 3]) << 24));
}

// Writes a whole file as one section when it can be read, is not empty and passes the test.
void WriteFileSection(CSectionWriter& writer, uint16_t id, const std::string& path, bool bitmap,
                      const ReadFileProc& readFile)
{
    // A file past its section's cap would make a program every reader refuses; it is refused
    // here, by its size on disk, before it is read into memory.
    std::error_code ec;
    const uint64_t size = std::filesystem::file_size(Cp1252ToUtf8(path), ec);
    if (!ec && size > MaxUnpackedSectionSize(id)) {
        throw CFileException(Cp1252ToUtf8(path), "a file of " + std::to_string(size) +
                                                     " bytes; a setup program carries at most " +
                                                     std::to_string(MaxUnpackedSectionSize(id)) +
                                                     " bytes for it");
    }
    std::optional<std::vector<uint8_t>> bytes;
    try {
        bytes = readFile(path);
    } catch (const std::exception&) {
        return;  // an unreadable file is left out, the build goes on
    }
    if (!bytes || bytes->empty()) return;
    if (bitmap && !PassesBitmapTest(*bytes)) return;
    if (bytes->size() > MaxUnpackedSectionSize(id)) return;
    writer.WriteSection(id, bytes->data(), static_cast<uint32_t>(bytes->size()));
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

bool PassesBitmapTest(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < 26) return false;
    return GetI32(bytes, 14) == 40 && GetI32(bytes, 18) > 0 && GetI32(bytes, 22) > 0;
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

void WriteProjectSections(CSectionWriter& writer, const CDataArray& project,
                          const ReadFileProc& readFile)
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
        WriteFileSection(writer, kWizardBitmap, project.m_strWizardBitmap, true, readFile);
    }
    if (fullScreen && !project.m_strBackBitmap.empty()) {
        WriteFileSection(writer, kBackBitmap, project.m_strBackBitmap, true, readFile);
    }
    if (!project.m_strAuxFile.empty()) {
        WriteFileSection(writer, kAuxFile, project.m_strAuxFile, false, readFile);
    }
}

uint64_t WriteUninstallerProgram(CSectionWriter& writer, std::vector<uint8_t> executable, bool patchSizeSlot)
{
    if (patchSizeSlot) PatchSizeSlot(executable);
    uint64_t start = writer.GetPosition();
    writer.WriteSection(kUninstallerProgram, executable.data(),
                        static_cast<uint32_t>(executable.size()));
    return writer.GetPosition() - start;
}

}  // namespace velkan
