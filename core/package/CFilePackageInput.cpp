#include "core/package/CFilePackageInput.h"

#include "core/package/CPackageException.h"
#include "core/stream/JoinText.h"

namespace velkan {

CFilePackageInput::CFilePackageInput(const std::string& path)
    : m_file(path, CFile::Mode::Read), m_length(m_file.GetLength())
{
}

void CFilePackageInput::ReadAt(uint64_t position, void* buffer, size_t size)
{
    if (position > m_length || size > m_length - position) {
        throw CPackageException({m_file.Path(), ": read of ", size, " bytes at ", position,
                                 " passes the end of the file"});
    }
    if (size == 0) return;
    m_file.Seek(position);
    m_file.ReadExact(buffer, size);
}

}  // namespace velkan
