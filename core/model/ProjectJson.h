// A project as text: the JSON form of the project record, a project format of its own beside the
// binary file. Keys are the records' member names in the binary file's field order, strings are
// UTF-8 (the model's Windows-1252 converted), numbers are whole. Every stored field is written, so
// binary -> JSON -> binary gives back the same bytes and JSON -> binary -> JSON the same text.
//
// Layout, fixed so that diffs stay readable: two-space indent, every file, INI, registry and
// file-string entry on one line, each wizard text on its own line.
#pragma once

#include <string>
#include <string_view>

#include "core/model/CDataArray.h"
#include "core/model/JsonValue.h"

namespace velkan {

// The project as a value tree. forPeople adds derived facts that are not stored (a file's flags
// text, a registry entry's display key); such a tree is for showing, not for reading back.
JsonValue ProjectToJson(const CDataArray& project, bool forPeople);

// The text of a JSON project file.
std::string WriteProjectJson(const CDataArray& project);

// Reads a JSON project. Keys left out keep the defaults of a new record (a project without
// "m_versions" gets one default version; wizard texts left out keep the catalogue's). Throws
// CJsonException for text that is not JSON, and for an unknown key, a value of the wrong type or
// range, or a string that Windows-1252 cannot hold, naming the key's path
// ("m_versions[1].m_files[3].m_nOptions: ...").
CDataArray ReadProjectJson(std::string_view text);

}  // namespace velkan
