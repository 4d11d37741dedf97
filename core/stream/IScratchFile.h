// A temporary file for code that writes bytes and reads them back by path: it exists while the
// object lives and is removed with it. The engine's is CDeltaTempFile (a private folder of its
// own on this host); the install runtime supplies one for Windows. Code that needs scratch files
// without knowing the host takes a ScratchFileMaker.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace velkan {

class IScratchFile {
public:
    virtual ~IScratchFile() = default;
    // The file's path, as CFile opens it.
    virtual const std::string& Path() const = 0;
};

// Makes a new, empty scratch file; throws CFileException when none can be made.
using ScratchFileMaker = std::function<std::unique_ptr<IScratchFile>()>;

}  // namespace velkan
