// A scratch file in a private folder of its own (mode 0700, the file 0600, both created
// exclusively), so other users can neither read it nor race its name. Both are removed when the
// object goes, so no error path can leave them behind.
#pragma once

#include <string>

#include "core/stream/IScratchFile.h"

namespace velkan {

class CDeltaTempFile : public IScratchFile {
public:
    // dir empty: the system's temporary directory. Throws CFileException when no file can be made.
    explicit CDeltaTempFile(const std::string& dir = std::string());
    ~CDeltaTempFile() override;
    CDeltaTempFile(const CDeltaTempFile&) = delete;
    CDeltaTempFile& operator=(const CDeltaTempFile&) = delete;

    const std::string& Path() const override { return m_path; }

private:
    void Remove();

    std::string m_dir;
    std::string m_path;
    int m_dirGuard = -1;  // InterruptCleanup handles: an interrupted program removes both
    int m_fileGuard = -1;
};

}  // namespace velkan
