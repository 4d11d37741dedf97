#include "gui/BitmapChoice.h"

#include <QFile>
#include <QObject>

#include <vector>

#include "core/package/PackageFormat.h"
#include "core/package/SectionLimits.h"
#include "core/wizard/WizardBitmap.h"
#include "gui/CUserPrompt.h"

namespace velkan {

bool AcceptChosenBitmap(QWidget* parent, const QString& file, bool wizardBitmap)
{
    QFile in(file);
    // One too large for a setup program fails the build with its own message.
    const uint16_t section = wizardBitmap ? package::kWizardBitmap : package::kBackBitmap;
    if (!in.open(QIODevice::ReadOnly) ||
        static_cast<uint64_t>(in.size()) > package::MaxUnpackedSectionSize(section)) {
        return true;
    }
    const QByteArray bytes = in.readAll();
    const std::vector<uint8_t> data(bytes.begin(), bytes.end());
    FitSize size;
    const std::string refusal = BitmapRefusal(data, &size);
    if (!refusal.empty()) {
        CUserPrompt::Error(parent, QObject::tr("The setup program cannot show %1: %2.")
                                       .arg(file, QString::fromStdString(refusal)));
        return false;
    }
    const std::string note = wizardBitmap ? BitmapScaleNote(size) : std::string();
    if (!note.empty()) {
        CUserPrompt::Information(parent,
                                 QObject::tr("%1: %2.").arg(file, QString::fromStdString(note)));
    }
    return true;
}

}  // namespace velkan
