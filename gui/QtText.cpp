#include "gui/QtText.h"

#include "core/res/StringTable.h"

namespace velkan {

QString LoadQString(int id)
{
    return ToQt(LoadString(id));
}

}  // namespace velkan
