// The boundary between Qt's Unicode strings and the model's Windows-1252 bytes. Every text that
// goes from the model into a widget, or back, passes through here.
#pragma once

#include <QString>
#include <optional>
#include <string>

#include "core/platform/CodePage.h"

namespace velkan {

inline QString ToQt(const std::string& cp1252)
{
    return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

// A typed text for the model: characters the code page cannot hold become '?', as the target's
// own conversion does.
inline std::string FromQt(const QString& text)
{
    return Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<size_t>(text.size())));
}

// A text that must round-trip exactly (file and directory names): nullopt when the code page
// cannot hold it.
inline std::optional<std::string> FromQtExact(const QString& text)
{
    return Utf8ToCp1252(text.toStdString());
}

// A host path (UTF-8) from a model path, and back.
inline QString HostPath(const std::string& cp1252)
{
    return ToQt(cp1252);
}

// A message of the engine: its texts are Windows-1252, but the messages of file errors carry host
// paths (UTF-8). Text that is valid UTF-8 is taken as such, anything else as Windows-1252.
QString FromEngineText(const std::string& text);

// The string of id from the string table, as Qt text.
QString LoadQString(int id);

}  // namespace velkan
