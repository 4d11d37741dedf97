#include "core/builder/CSpillSink.h"

#include <algorithm>

#include "core/stream/CFileException.h"

namespace velkan {

void CSpillSink::Write(const void* data, size_t size)
{
    if (!m_file && m_memory.size() + size > kMemoryLimit) {
        m_temp = std::make_unique<CDeltaTempFile>(m_tempDir);
        m_file = std::make_unique<CFile>(m_temp->Path(), CFile::Mode::Create);
        m_file->Write(m_memory.data(), m_memory.size());
        std::vector<uint8_t>().swap(m_memory);
    }
    if (m_file) {
        m_file->Write(data, size);
    } else {
        const auto* bytes = static_cast<const uint8_t*>(data);
        m_memory.insert(m_memory.end(), bytes, bytes + size);
    }
    m_length += size;
}

void CSpillSink::MoveTo(IByteSink& output)
{
    if (!m_file) {
        if (!m_memory.empty()) output.Write(m_memory.data(), m_memory.size());
        std::vector<uint8_t>().swap(m_memory);
        return;
    }
    m_file->Close();
    m_file.reset();
    CFile in(m_temp->Path(), CFile::Mode::Read);
    std::vector<uint8_t> piece(65536);
    for (uint64_t left = m_length; left > 0;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, piece.size()));
        in.ReadExact(piece.data(), n);
        output.Write(piece.data(), n);
        left -= n;
    }
    m_temp.reset();
}

}  // namespace velkan
