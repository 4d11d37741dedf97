#include "core/model/ProjectFile.h"

#include "core/model/CArchive.h"
#include "core/platform/AtomicFile.h"

namespace velkan {

CDataArray ReadProject(const unsigned char* data, size_t size)
{
    CDataArray project;
    project.Reset();
    CArchive ar(data, size);
    project.Serialize(ar);
    return project;
}

CDataArray LoadProject(const std::string& path)
{
    std::vector<unsigned char> bytes = ReadWholeFile(path);
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
