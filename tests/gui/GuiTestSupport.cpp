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
#include "tests/support/FakeRuntimeImages.h"

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

BuildResult CRecordingRunner::Build(const CDataArray&, const BuildInputs&,
                                    const BuildSettings& settings, CBuildReport& report,
                                    IBuildHost& host, IDiskHost&)
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

CFakeRuntime::CFakeRuntime(Kind kind)
{
    if (kind == Kind::Missing) {
        for (int id = kFirstRuntimeResource; id <= kLastRuntimeResource; ++id) {
            OverrideRuntimeResource(id, std::nullopt);
        }
        return;
    }
    OverrideRuntimeResource(package::kStubWin32, test::FakeStub(200, true, 0x0BADCAFE));
    OverrideRuntimeResource(package::kStubWin31, test::FakeStub(180, true, 0x0BADCAFE));
    for (int id = package::kDialogsWin32; id <= package::kDialogsWin31Bitmap; ++id) {
        OverrideRuntimeResource(id, test::FakeDialogBlock());
    }
    OverrideRuntimeResource(package::kUninstallerWin32, test::FakeStub(300, false));
    OverrideRuntimeResource(package::kUninstallerWin31, test::FakeStub(260, false));
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
