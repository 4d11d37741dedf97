// A failure of the setup or uninstall run; the message (UTF-8) says what and where.
#pragma once

#include <string>

#include "core/stream/CError.h"

namespace velkan::runtime {

class CInstallError : public CError {
public:
    explicit CInstallError(const std::string& message) : CError(message) {}
};

}  // namespace velkan::runtime
