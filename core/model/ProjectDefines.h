// Defines: ${NAME} in any string of a project, text or binary, stands for a value given at build
// time (velkanc build -D NAME=VALUE), so a version number or a folder need not be patched into
// the project. $${ writes a literal ${. The project as stored keeps ${NAME} as written; only the
// build's copy has the values put in.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/model/CDataArray.h"
#include "core/stream/CError.h"

namespace velkan {

using Defines = std::map<std::string, std::string>;  // name -> value, UTF-8

// A name used but not defined, or a ${ that is never closed; the message names the key path of
// every string concerned.
class CDefineError : public CError {
public:
    using CError::CError;
};

// Whether a name may be defined: a letter or '_', then letters, digits, '_', '.' and '-'.
bool IsDefineName(const std::string& name);

// One text with the defines put in; the names it used are added to used. Throws CDefineError
// naming where (a key path).
std::string ExpandDefinesIn(const std::string& text, const Defines& defines,
                            std::vector<std::string>& used, const std::string& where);

// Puts the defines into every string of the project. Returns the names used, with their values,
// in name order. A project without ${ or $${ is left exactly as it is.
std::vector<std::pair<std::string, std::string>> ExpandDefines(CDataArray& project,
                                                               const Defines& defines);

}  // namespace velkan
