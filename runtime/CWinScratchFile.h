// The install runtime's scratch files (the package reader's ScratchFileMaker): the engine's
// CDeltaTempFile reaches the temporary directory through std::filesystem, which would pull the
// whole locale machinery into every setup program. Here the files go into a private folder of
// this run, made on first use and removed at exit.
#pragma once

#include <string>

#include "core/stream/IScratchFile.h"

namespace velkan::runtime {

class CWinScratchFile : public IScratchFile {
public:
    // Throws CFileException when no file can be made.
    CWinScratchFile();
    ~CWinScratchFile() override;
    CWinScratchFile(const CWinScratchFile&) = delete;
    CWinScratchFile& operator=(const CWinScratchFile&) = delete;

    const std::string& Path() const override { return m_path; }

private:
    std::string m_path;
};

}  // namespace velkan::runtime
