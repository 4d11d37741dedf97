// A project as text: JSON that people write, read and review, beside the binary project file.
// Keys are plain words, codes are named ("system", "HKLM", "win32"), colours are "#RRGGBB",
// wizard texts are keyed by page and slot name, and whatever equals the default of a new project
// is left out, so a file with default settings is one line holding its path. Reading accepts
// comments and trailing commas, range-checks every value and names the line and key path of a
// fault. The form is lossless both ways: binary -> text -> binary gives back the same bytes (a
// value that has no name, which only a binary project can hold, is written "raw:N"). The README
// describes every key; ProjectSchema() is the JSON Schema of the form.
#pragma once

#include <string>
#include <string_view>

#include "core/model/CDataArray.h"
#include "core/model/JsonValue.h"

namespace velkan {

// The name a written project gives its schema in "$schema" (velkanc schema prints it).
constexpr const char* kProjectSchemaName = "velkan-project.schema.json";

enum class JsonDetail {
    Changes,  // what differs from a new project: the file form
    Every,    // every field, for showing and for walking every string of a project
    People,   // every field and derived facts (flags text, display key): not read back
};

// The project as a value tree.
JsonValue ProjectToJson(const CDataArray& project, JsonDetail detail = JsonDetail::Changes);
// The text of a project file.
std::string WriteProjectJson(const CDataArray& project);

// Reads a project as text. Keys left out keep the defaults of a new project (a project without
// "versions" has one default version). Throws CJsonException "line L: KEY.PATH: ..." for text that
// is not JSON, an unknown key, a value of the wrong type or outside its range, or a string that
// Windows-1252 cannot hold.
CDataArray ReadProjectJson(std::string_view text);
CDataArray ProjectFromJson(const JsonValue& root);

// The JSON Schema (draft 2020-12) of a project as text.
std::string ProjectSchema();

}  // namespace velkan
