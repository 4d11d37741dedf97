// The table of help topics: which page of the help answers a request for a dialog's or page's
// resource id.
#pragma once

#include <QString>
#include <cstdint>

namespace velkan {

// The context value of a page's help request: 0x20000 + the page's help id.
inline constexpr uint32_t kHelpContextBase = 0x20000;

// The topic for a help request. A context request looks up the low 16 bits of data; any other
// request, or an id not in the table, gives "index.htm".
QString HelpTopicFor(uint32_t data, bool isContextRequest);

}  // namespace velkan
