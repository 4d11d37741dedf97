#include "cli/ProjectIo.h"

#include "cli/CommandRegistry.h"
#include "core/model/CArchiveException.h"
#include "core/model/CJsonException.h"
#include "core/model/ProjectFile.h"
#include "core/platform/CodePage.h"
#include "core/stream/CFileException.h"

namespace velkan::cli {

CDataArray LoadProjectOrFail(const std::string& path)
{
    try {
        return LoadProject(path);
    } catch (const CArchiveException& e) {
        throw CommandError{path + ": " + e.what() + " (" + e.Detail() + ")"};
    } catch (const CJsonException& e) {
        throw CommandError{path + ": " + e.what()};
    } catch (const CFileException& e) {
        throw CommandError{e.what()};
    }
}

void SaveProjectOrFail(const CDataArray& project, const std::string& path)
{
    try {
        SaveProject(project, path);
    } catch (const CFileException& e) {
        throw CommandError{e.what()};
    }
}

std::string ToProjectText(const std::string& utf8, const std::string& what)
{
    auto text = Utf8ToCp1252(utf8);
    if (!text) {
        throw CommandError{what + " '" + utf8 +
                           "' holds characters that the Windows-1252 code page of setup "
                           "programs cannot write"};
    }
    return *text;
}

}  // namespace velkan::cli
