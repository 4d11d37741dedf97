// A setup program (or continuation file) read through a Windows file handle, for the package
// reader. Opened with read sharing only, so nothing can change the program while it is read.
#pragma once

#include <memory>
#include <string>

#include "core/package/IPackageInput.h"

namespace velkan::runtime {

class CWinPackageInput : public IPackageInput {
public:
    // Throws CInstallError when the file cannot be opened.
    explicit CWinPackageInput(const std::wstring& path);
    ~CWinPackageInput() override;
    CWinPackageInput(const CWinPackageInput&) = delete;
    CWinPackageInput& operator=(const CWinPackageInput&) = delete;

    // Null when the file cannot be opened.
    static std::unique_ptr<IPackageInput> TryOpen(const std::wstring& path);

    uint64_t GetLength() const override { return m_nLength; }
    void ReadAt(uint64_t position, void* buffer, size_t size) override;
    std::string GetName() const override { return m_strName; }

private:
    void* m_hFile;
    uint64_t m_nLength = 0;
    uint64_t m_nFilePos = 0;  // where the handle's file pointer stands (UINT64_MAX: unknown)
    std::string m_strName;
};

}  // namespace velkan::runtime
