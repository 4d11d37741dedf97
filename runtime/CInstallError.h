// A failure of the setup or uninstall run; the message (UTF-8) says what and where.
#pragma once

#include <stdexcept>
#include <string>

namespace velkan::runtime {

class CInstallError : public std::runtime_error {
public:
    explicit CInstallError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace velkan::runtime
