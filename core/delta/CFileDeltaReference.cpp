#include "core/delta/CFileDeltaReference.h"

#include <algorithm>
#include <cstring>

#include "core/stream/CFileException.h"

namespace velkan {

CFileDeltaReference::CFileDeltaReference(const std::string& path)
    : m_file(path, CFile::Mode::Read), m_length(m_file.GetLength()), m_block(kBlockSize)
{
}

void CFileDeltaReference::ReadAt(uint64_t position, void* buffer, size_t size)
{
    auto* out = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        if (position < m_blockStart || position >= m_blockStart + m_blockLength) {
            if (position >= m_length) {
                throw CFileException(m_file.Path(), "read past the end of the reference");
            }
            m_blockStart = position;
            m_blockLength =
                static_cast<size_t>(std::min<uint64_t>(kBlockSize, m_length - position));
            m_file.Seek(position);
            m_file.ReadExact(m_block.data(), m_blockLength);
        }
        size_t offset = static_cast<size_t>(position - m_blockStart);
        size_t n = std::min(size, m_blockLength - offset);
        std::memcpy(out, m_block.data() + offset, n);
        out += n;
        position += n;
        size -= n;
    }
}

}  // namespace velkan
