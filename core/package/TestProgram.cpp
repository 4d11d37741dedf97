#include "core/package/TestProgram.h"

#include <filesystem>
#include <system_error>

#include "core/model/CDataArray.h"
#include "core/package/CByteBuffer.h"
#include "core/package/CSectionWriter.h"
#include "core/package/PackageFormat.h"
#include "core/package/StubImage.h"
#include "core/package/VersionSections.h"
#include "core/stream/CFile.h"
#include "core/wizard/WizardPage.h"

namespace velkan {

using namespace package;

uint16_t TestPageCode(int startPage)
{
    if (startPage == kNoStartPage) return kNoStartPageCode;
    return static_cast<uint16_t>(WizardPageOf(startPage));
}

bool WriteTestProgram(CSectionWriter& writer, const CDataArray& project,
                      const std::vector<uint8_t>& stub, const std::vector<uint8_t>* dialogBlock,
                      int startPage, const ReadFileProc& readFile)
{
    if (stub.empty()) return false;
    WriteStub(writer, stub);
    if (WriteDialogBlock(writer, dialogBlock)) WriteProjectSections(writer, project, readFile);

    CByteBuffer test;
    test.PutU16(TestPageCode(startPage));
    test.PutU16(static_cast<uint16_t>(project.m_nCurrent));
    writer.WriteSection(kTestSection, test.Data(), static_cast<uint32_t>(test.Size()));

    for (const CData& version : project.m_versions) WriteVersionSections(writer, version);

    writer.BeginSection(kDataSection, 0, 0);
    writer.WriteU32(0);
    return true;
}

bool WriteTestProgramFile(const std::string& path, const CDataArray& project,
                          const std::vector<uint8_t>& stub, const std::vector<uint8_t>* dialogBlock,
                          int startPage, const ReadFileProc& readFile)
{
    if (path.empty()) return false;
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (ec) return false;  // still in use by a running test program
    CFile file(path, CFile::Mode::Create);
    CSectionWriter writer(file);
    bool written = WriteTestProgram(writer, project, stub, dialogBlock, startPage, readFile);
    file.Close();
    return written;
}

}  // namespace velkan
