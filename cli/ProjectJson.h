// A project as a tree of values: the JSON that `velkanc show --json` prints (keys are the
// records' member names, strings UTF-8) and, with the extras for people, its text form.
#pragma once

#include "cli/JsonValue.h"
#include "core/model/CDataArray.h"

namespace velkan::cli {

// forPeople adds derived facts that are not stored (a file's flags text, a registry entry's
// display key).
JsonValue ProjectToJson(const CDataArray& project, bool forPeople);

}  // namespace velkan::cli
