// A uniquely named scratch file in a temporary directory. The name is reserved on construction
// and the file is removed when the object goes, so no error path can leave it behind.
#pragma once

#include <string>

namespace velkan {

class CDeltaTempFile {
public:
    // dir empty: the system's temporary directory. Throws CFileException when no file can be made.
    explicit CDeltaTempFile(const std::string& dir = std::string());
    ~CDeltaTempFile();
    CDeltaTempFile(const CDeltaTempFile&) = delete;
    CDeltaTempFile& operator=(const CDeltaTempFile&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace velkan
