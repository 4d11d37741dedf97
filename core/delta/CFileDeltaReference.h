// A reference read from a file through a 64 KB block cache: copies mostly move forward through
// the reference in small steps, so most of them are served without a seek.
#pragma once

#include <string>
#include <vector>

#include "core/delta/IDeltaReference.h"
#include "core/stream/CFile.h"

namespace velkan {

class CFileDeltaReference : public IDeltaReference {
public:
    // Opens path for reading; throws CFileException.
    explicit CFileDeltaReference(const std::string& path);

    uint64_t GetLength() const override { return m_length; }
    void ReadAt(uint64_t position, void* buffer, size_t size) override;

private:
    static constexpr size_t kBlockSize = 65536;

    CFile m_file;
    uint64_t m_length;
    std::vector<unsigned char> m_block;
    uint64_t m_blockStart = 0;
    size_t m_blockLength = 0;
};

}  // namespace velkan
