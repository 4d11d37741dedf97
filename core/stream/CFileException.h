// The error every file operation of the engine raises: what failed, on which file, and why.
#pragma once

#include <string>

#include "core/stream/CError.h"

namespace velkan {

class CFileException : public CError {
public:
    CFileException(const std::string& path, const std::string& what)
        : CError(path.empty() ? what : path + ": " + what), m_path(path)
    {
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace velkan
