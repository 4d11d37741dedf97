// A binary file opened for reading or writing, usable as a byte source and a byte sink. Paths are
// host paths (UTF-8 on Linux). Every failure throws CFileException naming the file.
#pragma once

#include <cstdio>
#include <string>

#include "core/stream/IByteSink.h"
#include "core/stream/IByteSource.h"

namespace velkan {

class CFile : public IByteSource, public IByteSink {
public:
    enum class Mode { Read, Create, ReadWrite };

    CFile(const std::string& path, Mode mode);
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    size_t Read(void* buffer, size_t size) override;
    void Write(const void* data, size_t size) override;
    uint64_t GetPosition() const override;

    // Reads exactly size bytes or throws ("unexpected end of file").
    void ReadExact(void* buffer, size_t size);
    void Seek(uint64_t position);
    void SeekToEnd();
    uint64_t GetLength() const;
    void Flush();
    // Flushes and closes, reporting a failed flush (a full disk) as an error.
    void Close();
    const std::string& Path() const { return m_path; }

private:
    [[noreturn]] void Fail(const std::string& what) const;

    std::string m_path;
    std::FILE* m_file = nullptr;
};

}  // namespace velkan
