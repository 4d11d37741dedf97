#include "tests/gui/GuiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <stdexcept>

#include "core/compress/CCompressor.h"
#include "core/package/PackageFormat.h"
#include "core/res/RuntimeResources.h"
#include "gui/CUserPrompt.h"

namespace velkan {

CScriptedPrompts::CScriptedPrompts()
{
    CUserPrompt::SetHandler(this);
}

CScriptedPrompts::~CScriptedPrompts()
{
    CUserPrompt::SetHandler(nullptr);
}

QMessageBox::StandardButton CScriptedPrompts::Message(QWidget*, const QString& text,
                                                      QMessageBox::Icon icon,
                                                      QMessageBox::StandardButtons buttons)
{
    messages << text;
    messageButtons << buttons;
    messageIcons << icon;
    if (!answers.isEmpty()) return answers.takeFirst();
    if (buttons & QMessageBox::No) return QMessageBox::No;
    return QMessageBox::Ok;
}

QString CScriptedPrompts::OpenFileName(QWidget*, const QString&, const QString&, const QString&)
{
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString CScriptedPrompts::SaveFileName(QWidget*, const QString&, const QString& dir, const QString&)
{
    saveDialogDirs << dir;
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString CScriptedPrompts::FolderName(QWidget*, const QString&, const QString&)
{
    return folderNames.isEmpty() ? QString() : folderNames.takeFirst();
}

int CScriptedPrompts::Exec(QDialog& dialog)
{
    ++dialogCount;
    return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
}

CTestSettings::CTestSettings()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
}

CTestSettings::~CTestSettings() = default;

BuildResult CRecordingRunner::Build(const CDataArray&, const BuildSettings& settings,
                                    CBuildReport& report, IBuildHost& host, IDiskHost&)
{
    ++calls;
    lastOutputPath = settings.outputPath;
    lastDeltaSearch = settings.deltaSearch;
    lastShareEqualFiles = settings.shareEqualFiles;
    report.AddLine("a.txt");
    report.SetNumbers(CBuildReport::kKindFile, 1200000, 300000);
    host.BeginProgress();
    host.ShowProgress(5000, "50.00 %");
    if (during) during();
    host.EndProgress();
    BuildResult result;
    switch (ending) {
    case Ending::Normal: result.status = BuildStatus::Built; break;
    case Ending::Cancel: result.status = BuildStatus::Cancelled; break;
    case Ending::Fail:
        result.status = BuildStatus::Failed;
        result.error = "disk full while writing";
        host.ShowError(result.error);
        break;
    }
    return result;
}

namespace {

// The bytes of a marker: u16 0x7777, the tag, the 4-byte slot.
void PutMarker(std::vector<uint8_t>& image, size_t at, const package::MarkerTag& tag, uint32_t slot)
{
    const uint8_t bytes[10] = {0x77,
                               0x77,
                               tag[0],
                               tag[1],
                               tag[2],
                               tag[3],
                               static_cast<uint8_t>(slot),
                               static_cast<uint8_t>(slot >> 8),
                               static_cast<uint8_t>(slot >> 16),
                               static_cast<uint8_t>(slot >> 24)};
    std::copy(std::begin(bytes), std::end(bytes), image.begin() + static_cast<std::ptrdiff_t>(at));
}

// "MZ", filler, the size marker and, for a stub, the key marker.
std::vector<uint8_t> FakeProgram(size_t size, bool withKey)
{
    std::vector<uint8_t> image(size);
    for (size_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(i * 7 + 1);
    image[0] = 'M';
    image[1] = 'Z';
    PutMarker(image, 40, package::kSizeMarker, 0);
    if (withKey) PutMarker(image, 90, package::kKeyMarker, 0x0BADCAFE);
    return image;
}

// A dialog-template block in its resource form: u32 unpacked size, then the packed stream.
std::vector<uint8_t> FakeDialogBlock()
{
    std::vector<uint8_t> block(48 + 12 * 20);
    for (size_t i = 0; i < 12; ++i) block[i * 4] = static_cast<uint8_t>(48 + i * 20);
    std::vector<uint8_t> packed = CCompressor::Pack(block.data(), block.size());
    std::vector<uint8_t> body = {static_cast<uint8_t>(block.size()),
                                 static_cast<uint8_t>(block.size() >> 8), 0, 0};
    body.insert(body.end(), packed.begin(), packed.end());
    return body;
}

}  // namespace

CFakeRuntime::CFakeRuntime(Kind kind)
{
    if (kind == Kind::Missing) {
        for (int id = kFirstRuntimeResource; id <= kLastRuntimeResource; ++id) {
            OverrideRuntimeResource(id, std::nullopt);
        }
        return;
    }
    OverrideRuntimeResource(package::kStubWin32, FakeProgram(200, true));
    OverrideRuntimeResource(package::kStubWin31, FakeProgram(180, true));
    for (int id = package::kDialogsWin32; id <= package::kDialogsWin31Bitmap; ++id) {
        OverrideRuntimeResource(id, FakeDialogBlock());
    }
    OverrideRuntimeResource(package::kUninstallerWin32, FakeProgram(300, false));
    OverrideRuntimeResource(package::kUninstallerWin31, FakeProgram(260, false));
}

CFakeRuntime::~CFakeRuntime()
{
    ClearRuntimeResourceOverrides();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot create test file");
    }
}

void MakeFiles(const QString& dir, const QStringList& relativePaths)
{
    for (const QString& relative : relativePaths) {
        QString path = dir + "/" + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot create test file");
        file.write("x");
    }
}

}  // namespace velkan
