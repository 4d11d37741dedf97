// The system's own user-visible texts, by string id. Every text that the product shows or stores
// as a default comes from this one table.
#pragma once

#include <string>

namespace velkan {

// The text of string id; empty when the table has no such id.
std::string LoadString(int id);
// True when the table has the id (an empty text is a valid entry).
bool HasString(int id);

}  // namespace velkan
