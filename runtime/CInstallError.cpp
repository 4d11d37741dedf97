#include "runtime/CInstallError.h"

namespace velkan::runtime {

// Out of line: each throw site is then a few stores and one call.
CInstallError::CInstallError(std::initializer_list<TextPiece> pieces) : CError(JoinText(pieces)) {}

}  // namespace velkan::runtime
