#include "CTestSetupBuilder.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

#include "core/build/FileVersionFacts.h"
#include "core/compress/CCompressor.h"
#include "core/delta/CDeltaEncoder.h"
#include "core/model/FileOption.h"
#include "core/package/CFileEntry.h"
#include "core/package/CFileTableWriter.h"
#include "core/package/CSectionWriter.h"
#include "core/package/PackageChecksum.h"
#include "core/package/PackageFormat.h"
#include "core/package/ProjectSections.h"
#include "core/package/StubImage.h"
#include "core/package/UninstallerData.h"
#include "core/package/VersionSections.h"
#include "core/res/RuntimeResources.h"
#include "core/stream/CFile.h"
#include "core/stream/CMemorySink.h"

namespace velkan::test {

using namespace package;

namespace {

std::vector<uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string HostPath(const CData& version, const std::string& path)
{
    std::string p = path;
    std::replace(p.begin(), p.end(), '\\', '/');
    return version.m_strSourceDir + p;
}

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct Decision {
    bool present = false;
    bool plainCopy = false;  // own data or taken-over plain data
    CFileEntry entry;
};

}  // namespace

void CTestSetupBuilder::Build(const CDataArray& project, const std::string& outputPath)
{
    auto stub = LoadRuntimeResource(StubResourceId(project.m_nPlatform));
    if (!stub) throw std::runtime_error("no setup stub in this builder");
    bool win31 = project.m_nPlatform == 0;
    CFile file(outputPath, CFile::Mode::Create);
    CSectionWriter writer(file);
    uint32_t seed = WriteStub(writer, *stub);
    uint32_t key = PackageKey(seed, project.m_nWindowMode == 1, project.m_strBackTitle);
    auto dialogs = LoadRuntimeResource(DialogBlockResourceId(project.m_nPlatform, !project.m_strWizardBitmap.empty()));
    if (WriteDialogBlock(writer, dialogs ? &*dialogs : nullptr)) WriteProjectSections(writer, project);

    size_t versions = project.m_versions.size();
    bool anyUninstaller = std::any_of(project.m_versions.begin(), project.m_versions.end(),
                                      [](const CData& v) { return !v.m_strUninstFile.empty(); });
    if (anyUninstaller) {
        auto program = LoadRuntimeResource(UninstallerResourceId(project.m_nPlatform));
        if (!program) throw std::runtime_error("no uninstaller in this builder");
        WriteUninstallerProgram(writer, *program);
    }

    CMemorySink data;
    std::vector<CFileTableWriter> tables(versions, CFileTableWriter(win31));
    for (size_t v = 0; v < versions; ++v) {
        const CData& version = project.m_versions[v];
        if (version.m_strUninstFile.empty()) continue;
        std::vector<uint8_t> block = BuildUninstallerData(version);
        std::vector<uint8_t> packed = CCompressor::Pack(block.data(), block.size());
        uint32_t offset = static_cast<uint32_t>(data.GetPosition());
        data.Write(packed.data(), packed.size());
        tables[v].AddEntry(CFileEntry::Uninstaller(version, static_cast<uint32_t>(block.size()), offset,
                                                   static_cast<uint32_t>(packed.size())));
    }

    std::vector<std::string> paths;
    for (const CData& version : project.m_versions) {
        for (const CFileItem& item : version.m_files) {
            bool seen = std::any_of(paths.begin(), paths.end(),
                                    [&](const std::string& p) { return Lower(p) == Lower(item.m_strPath); });
            if (!seen) paths.push_back(item.m_strPath);
        }
    }
    for (const std::string& path : paths) {
        std::vector<Decision> decisions(versions);
        std::vector<uint32_t> indexes(versions, 0);
        for (size_t v = 0; v < versions; ++v) {
            const CData& version = project.m_versions[v];
            const CFileItem* item = nullptr;
            for (const CFileItem& candidate : version.m_files) {
                if (Lower(candidate.m_strPath) == Lower(path)) item = &candidate;
            }
            if (!item) continue;
            Decision& d = decisions[v];
            d.present = true;
            d.entry = CFileEntry::FromFileItem(*item);
            if (item->GetOption(OptInstallMode) == InstallSkip) {
                indexes[v] = tables[v].AddEntry(d.entry);
                continue;
            }
            std::string host = HostPath(version, path);
            std::vector<uint8_t> bytes = ReadAll(host);
            bool takenOver = false;
            int reference = -1;
            for (size_t u = 0; u < v; ++u) {
                if (!decisions[u].present || decisions[u].entry.HasNoData()) continue;
                std::vector<uint8_t> earlier = ReadAll(HostPath(project.m_versions[u], path));
                if (earlier == bytes && (decisions[u].plainCopy || (decisions[u].entry.m_nFlags & kEntryDelta))) {
                    const CFileEntry& e = decisions[u].entry;
                    d.entry.m_nOffset = e.m_nOffset;
                    d.entry.m_nPackedSize = e.m_nPackedSize;
                    d.entry.m_nSourceVersion = e.m_nSourceVersion;
                    d.entry.m_nSourceEntry = e.m_nSourceEntry;
                    d.entry.m_nFlags = e.m_nFlags & (kEntryDelta | kEntryExternal);
                    d.plainCopy = decisions[u].plainCopy;
                    takenOver = true;
                    break;
                }
                if (earlier != bytes && decisions[u].plainCopy) reference = static_cast<int>(u);
            }
            if (!takenOver && reference >= 0) {
                const CFileEntry& ref = decisions[reference].entry;
                CDeltaEncoder encoder;
                encoder.BuildStreams(host, HostPath(project.m_versions[reference], path));
                d.entry.m_nOffset = static_cast<uint32_t>(data.GetPosition());
                d.entry.m_nPackedSize = static_cast<uint32_t>(encoder.WriteStreams(data));
                d.entry.m_nSourceVersion = ref.m_nSourceVersion;
                d.entry.m_nSourceEntry = ref.m_nSourceEntry;
                d.entry.m_nFlags = kEntryDelta;
            } else if (!takenOver) {
                d.plainCopy = true;
                d.entry.m_nSourceVersion = static_cast<uint16_t>(v);
                d.entry.m_nSourceEntry = tables[v].GetCount();
                if (item->GetOption(OptKeepExternal) == OptionOn) {
                    d.entry.m_nOffset = kOffsetExternal;
                    d.entry.m_nFlags = kEntryExternal;
                } else {
                    std::vector<uint8_t> packed = CCompressor::Pack(bytes.data(), bytes.size());
                    d.entry.m_nOffset = static_cast<uint32_t>(data.GetPosition());
                    d.entry.m_nPackedSize = static_cast<uint32_t>(packed.size());
                    data.Write(packed.data(), packed.size());
                }
            }
            d.entry.m_nSize = static_cast<uint32_t>(bytes.size());
            d.entry.m_nChecksum = PackageChecksum(bytes.data(), bytes.size(), 0) ^ key;
            SetFileVersionFacts(d.entry, item->GetOption(OptDestination), host);
            indexes[v] = tables[v].AddEntry(d.entry);
        }
    }

    for (size_t v = 0; v < versions; ++v) {
        WriteVersionSections(writer, project.m_versions[v]);
        tables[v].WriteSection(writer);
    }
    const std::vector<uint8_t>& stream = data.Bytes();
    writer.BeginSection(kDataSection, 0, static_cast<uint32_t>(stream.size()));
    writer.WriteU32(static_cast<uint32_t>(stream.size()));
    writer.Write(stream.data(), stream.size());
    file.Close();
}

}  // namespace velkan::test
