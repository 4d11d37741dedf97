#include "HostileSetup.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/compress/CCompressor.h"
#include "core/package/CFileEntry.h"
#include "core/package/CFileTableWriter.h"
#include "core/package/CSectionWriter.h"
#include "core/package/PackageChecksum.h"
#include "core/package/PackageFormat.h"
#include "core/package/ProjectSections.h"
#include "core/package/StubImage.h"
#include "core/package/VersionSections.h"
#include "core/res/RuntimeResources.h"
#include "core/stream/CFile.h"
#include "core/stream/CMemorySink.h"

namespace velkan::test {

using namespace package;

void WriteHostileSetup(const CDataArray& project, const std::filesystem::path& output)
{
    if (project.m_versions.size() != 1 || !project.m_versions[0].m_strUninstFile.empty()) {
        throw std::invalid_argument("a hostile setup program has one version and no uninstaller");
    }
    const CData& version = project.m_versions[0];
    auto stub = LoadRuntimeResource(StubResourceId(project.m_nPlatform));
    if (!stub) throw std::runtime_error("no setup stub in this builder");
    CFile file(output.string(), CFile::Mode::Create);
    CSectionWriter writer(file);
    uint32_t key =
        PackageKey(WriteStub(writer, *stub), project.m_nWindowMode == CDataArray::FullScreen,
                   project.m_strBackTitle);
    auto dialogs = LoadRuntimeResource(
        DialogBlockResourceId(project.m_nPlatform, !project.m_strWizardBitmap.empty()));
    if (WriteDialogBlock(writer, dialogs ? &*dialogs : nullptr))
        WriteProjectSections(writer, project);

    CMemorySink data;
    CFileTableWriter table(project.m_nPlatform != CDataArray::Win32);
    for (const CFileItem& item : version.m_files) {
        std::string relative = item.m_strPath;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        std::string host = version.m_strSourceDir + relative;
        std::ifstream in(host, std::ios::binary);
        if (!in) throw std::runtime_error("cannot read " + host);
        std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
        std::vector<uint8_t> packed = CCompressor::Pack(bytes.data(), bytes.size());
        CFileEntry entry = CFileEntry::FromFileItem(item);
        entry.m_nSourceEntry = table.GetCount();
        entry.m_nOffset = static_cast<uint32_t>(data.GetPosition());
        entry.m_nPackedSize = static_cast<uint32_t>(packed.size());
        entry.m_nSize = static_cast<uint32_t>(bytes.size());
        entry.m_nChecksum = PackageChecksum(bytes.data(), bytes.size(), 0) ^ key;
        data.Write(packed.data(), packed.size());
        table.AddEntry(entry);
    }
    WriteVersionSections(writer, version);
    table.WriteSection(writer);
    const std::vector<uint8_t>& stream = data.Bytes();
    writer.BeginSection(kDataSection, 0, static_cast<uint32_t>(stream.size()));
    writer.WriteU32(static_cast<uint32_t>(stream.size()));
    writer.Write(stream.data(), stream.size());
    file.Close();
}

}  // namespace velkan::test
