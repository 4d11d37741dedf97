#include "core/package/CSectionWriter.h"

#include <new>

#include "core/compress/CCompressor.h"
#include "core/package/PackageFormat.h"
#include "core/platform/IDiskFile.h"
#include "core/stream/CFile.h"
#include "core/stream/CFileException.h"
#include "core/stream/CMemorySink.h"
#include "core/stream/LittleEndian.h"

namespace velkan {

using namespace package;

CSectionWriter::CSectionWriter(CFile& file) : m_file(&file) {}

CSectionWriter::CSectionWriter(IDiskFile& file) : m_disk(&file) {}

CSectionWriter::CSectionWriter(std::vector<uint8_t>& block) : m_block(&block) {}

void CSectionWriter::Write(const void* data, size_t size)
{
    if (size == 0) return;
    if (m_file) {
        m_file->Write(data, size);
    } else if (m_disk) {
        m_disk->Write(data, size);
    } else {
        const auto* p = static_cast<const uint8_t*>(data);
        m_block->insert(m_block->end(), p, p + size);
    }
}

uint64_t CSectionWriter::GetPosition() const
{
    if (m_file) return m_file->GetPosition();
    if (m_disk) return m_disk->GetPosition();
    return m_block->size();
}

void CSectionWriter::WriteU16(uint16_t value)
{
    uint8_t b[2];
    StoreLE16(b, value);
    Write(b, 2);
}

void CSectionWriter::WriteU32(uint32_t value)
{
    uint8_t b[4];
    StoreLE32(b, value);
    Write(b, 4);
}

void CSectionWriter::PatchU32(uint64_t position, uint32_t value)
{
    uint8_t b[4];
    StoreLE32(b, value);
    if (m_file) {
        m_file->Seek(position);
        m_file->Write(b, 4);
        m_file->SeekToEnd();
    } else if (m_disk) {
        m_disk->Seek(position);
        m_disk->Write(b, 4);
        m_disk->SeekToEnd();
    } else {
        for (int i = 0; i < 4; ++i) (*m_block)[position + i] = b[i];
    }
}

void CSectionWriter::WriteHeader(uint16_t id, uint16_t flags, uint32_t size)
{
    WriteU16(id);
    WriteU16(flags);
    WriteU32(size);
    m_nId = id;
    m_nFlags = flags;
    m_nSize = size;
    m_nBodyStart = GetPosition();
}

void CSectionWriter::WriteSection(uint16_t id, const void* data, uint32_t size, unsigned mode)
{
    uint16_t flags = (size >= kPackThreshold || (mode & (kModePrePacked | kModeForcePack)) != 0)
                         ? kSectionPacked
                         : 0;
    WriteHeader(id, flags, size);
    if (data == nullptr || size == 0) return;
    if ((flags & kSectionPacked) && !(mode & kModePrePacked)) {
        WriteU32(size);
        CMemorySink packed;
        CCompressor compressor;
        // No room for the compressor's output buffer: as any other allocation that fails.
        if (compressor.CompressMemory(packed, data, size) == 0) throw std::bad_alloc();
        Write(packed.Bytes().data(), packed.Bytes().size());
        CloseSection();
    } else {
        Write(data, size);
    }
}

void CSectionWriter::BeginSection(uint16_t id, uint16_t flags, uint32_t size)
{
    WriteHeader(id, flags, size);
}

void CSectionWriter::CloseSection()
{
    uint64_t written = GetPosition() - m_nBodyStart;
    if (written != m_nSize) {
        if (written > 0xFFFFFFFFull) throw CFileException("", "a package section exceeds 4 GB");
        PatchU32(m_nBodyStart - 4, static_cast<uint32_t>(written));
        m_nSize = static_cast<uint32_t>(written);
    }
}

}  // namespace velkan
