// A failure of the setup or uninstall run; the message (UTF-8) says what and where.
#pragma once

#include <initializer_list>
#include <string>

#include "core/stream/CError.h"
#include "core/stream/JoinText.h"

namespace velkan::runtime {

class CInstallError : public CError {
public:
    explicit CInstallError(const std::string& message) : CError(message) {}
    // The message joined from pieces (JoinText).
    explicit CInstallError(std::initializer_list<TextPiece> pieces);
};

}  // namespace velkan::runtime
