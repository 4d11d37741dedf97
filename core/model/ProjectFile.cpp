#include "core/model/ProjectFile.h"

#include "core/model/CArchive.h"
#include "core/model/ProjectJson.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/CodePage.h"

namespace velkan {

CDataArray ReadProject(const unsigned char* data, size_t size)
{
    CDataArray project;
    project.Reset();
    CArchive ar(data, size);
    project.Serialize(ar);
    return project;
}

bool IsJsonProjectPath(const std::string& path)
{
    for (std::string_view extension : {".json", ".jsonc"}) {
        if (path.size() >= extension.size() &&
            EqualNoCase1252(std::string_view(path).substr(path.size() - extension.size()),
                            extension)) {
            return true;
        }
    }
    return false;
}

CDataArray LoadProject(const std::string& path)
{
    std::vector<unsigned char> bytes = ReadWholeFile(path);
    if (IsJsonProjectPath(path)) {
        return ReadProjectJson(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    return ReadProject(bytes.data(), bytes.size());
}

std::vector<unsigned char> WriteProject(const CDataArray& project)
{
    CArchive ar;
    const_cast<CDataArray&>(project).Serialize(ar);
    return ar.Bytes();
}

void SaveProject(const CDataArray& project, const std::string& path)
{
    if (IsJsonProjectPath(path)) {
        std::string text = WriteProjectJson(project);
        WriteFileAtomically(path, std::vector<unsigned char>(text.begin(), text.end()));
        return;
    }
    WriteFileAtomically(path, WriteProject(project));
}

CDataArray NewProject()
{
    CDataArray project;
    project.Reset();
    project.m_versions.emplace_back();
    return project;
}

}  // namespace velkan
