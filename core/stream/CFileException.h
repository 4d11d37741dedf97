// The error every file operation of the engine raises: what failed, on which file, and why.
#pragma once

#include <stdexcept>
#include <string>

namespace velkan {

class CFileException : public std::runtime_error {
public:
    CFileException(const std::string& path, const std::string& what)
        : std::runtime_error(path.empty() ? what : path + ": " + what), m_path(path) {}
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace velkan
