#include "gui/QtText.h"

#include <QStringDecoder>

#include "core/res/StringTable.h"

namespace velkan {

QString FromEngineText(const std::string& text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString utf8 = decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return decoder.hasError() ? ToQt(text) : utf8;
}

QString LoadQString(int id)
{
    return ToQt(LoadString(id));
}

}  // namespace velkan
