// A setup program (or continuation file) read from disk through CFile.
#pragma once

#include "core/package/IPackageInput.h"
#include "core/stream/CFile.h"

namespace velkan {

class CFilePackageInput : public IPackageInput {
public:
    // Opens the host path for reading; throws CFileException.
    explicit CFilePackageInput(const std::string& path);

    uint64_t GetLength() const override { return m_length; }
    void ReadAt(uint64_t position, void* buffer, size_t size) override;
    std::string GetName() const override { return m_file.Path(); }

private:
    CFile m_file;
    uint64_t m_length;
};

}  // namespace velkan
