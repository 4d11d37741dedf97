#include "core/delta/CDeltaStream.h"

#include <cstring>

#include "core/stream/CMemorySource.h"

namespace velkan {

bool CDeltaStream::UseTempFile(const std::string& dir)
{
    try {
        auto temp = std::make_unique<CDeltaTempFile>(dir);
        auto file = std::make_unique<CFile>(temp->Path(), CFile::Mode::Create);
        m_temp = std::move(temp);
        m_file = std::move(file);
        m_buffer.clear();
        m_buffer.reserve(kFileBufferSize);
        m_length = 0;
        return true;
    } catch (const std::exception&) {
        // No scratch file: the stream stays in memory, as for small inputs.
        return false;
    }
}

void CDeltaStream::Write(const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size) {
        size_t room = size;
        if (m_file) {
            if (m_buffer.size() == kFileBufferSize) FlushBuffer();
            room = std::min(size, kFileBufferSize - m_buffer.size());
        } else if (m_buffer.capacity() - m_buffer.size() < room) {
            // Grow in steps like the original buffer, but never quadratically.
            m_buffer.reserve(
                std::max(m_buffer.size() + room + kMemoryGrowth, m_buffer.capacity() * 2));
        }
        m_buffer.insert(m_buffer.end(), bytes, bytes + room);
        bytes += room;
        size -= room;
        m_length += room;
    }
}

void CDeltaStream::FlushBuffer()
{
    m_file->Write(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
}

std::unique_ptr<IByteSource> CDeltaStream::OpenForReading()
{
    if (!m_temp) return std::make_unique<CMemorySource>(m_buffer.data(), m_buffer.size());
    if (m_file) {
        FlushBuffer();
        m_file->Close();
        m_file.reset();
    }
    return std::make_unique<CFile>(m_temp->Path(), CFile::Mode::Read);
}

void CDeltaStream::Clear()
{
    m_file.reset();
    m_temp.reset();
    std::vector<uint8_t>().swap(m_buffer);
    m_length = 0;
}

}  // namespace velkan
