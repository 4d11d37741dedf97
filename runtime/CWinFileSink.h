// A new file written through a Windows handle, as a byte sink: the staging copies of the files
// being installed. The file is removed on destruction unless Commit was called.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/stream/IByteSink.h"

namespace velkan::runtime {

class CWinFileSink : public IByteSink {
public:
    // Creates (replaces) the file; throws CInstallError.
    explicit CWinFileSink(const std::wstring& path);
    // Creates the file only when the name is free: null when it is taken; throws CInstallError
    // for any other failure.
    static std::unique_ptr<CWinFileSink> CreateNew(const std::wstring& path);
    ~CWinFileSink() override;
    CWinFileSink(const CWinFileSink&) = delete;
    CWinFileSink& operator=(const CWinFileSink&) = delete;

    void Write(const void* data, size_t size) override;
    uint64_t GetPosition() const override { return m_nWritten; }
    // Sets the file's times (FILETIME values) when it is committed.
    void SetTimes(uint64_t created, uint64_t accessed, uint64_t written);
    // Flushes and closes the file and keeps it; throws CInstallError on a failed write.
    void Commit();

private:
    CWinFileSink(const std::wstring& path, void* handle);
    void Flush();
    void WriteThrough(const void* data, size_t size);

    void* m_hFile;
    std::wstring m_strPath;
    uint64_t m_nWritten = 0;
    std::unique_ptr<char[]> m_buffer;  // made at the first small write
    size_t m_nBuffered = 0;
    bool m_bTimes = false;
    uint64_t m_times[3] = {};
};

}  // namespace velkan::runtime
