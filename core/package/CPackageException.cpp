#include "core/package/CPackageException.h"

namespace velkan {

// Out of line: each throw site is then a few stores and one call.
CPackageException::CPackageException(std::initializer_list<TextPiece> what)
    : CPackageException(JoinText(what))
{
}

}  // namespace velkan
