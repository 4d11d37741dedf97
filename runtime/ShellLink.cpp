#include "runtime/ShellLink.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

namespace velkan::runtime {

namespace {

// The three interface ids, defined here rather than linking the uuid library (over 100 KB).
const CLSID kClsidShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidShellLinkW = {0x000214F9, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

}  // namespace

std::string CreateShellLink(const std::wstring& linkPath, const std::wstring& target,
                            const std::wstring& args, const std::wstring& workDir, int iconIndex)
{
    IShellLinkW* link = nullptr;
    HRESULT hr = CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkW,
                                  reinterpret_cast<void**>(&link));
    if (FAILED(hr)) return "the shell link object is not available";
    link->SetPath(target.c_str());
    link->SetArguments(args.c_str());
    link->SetWorkingDirectory(workDir.c_str());
    link->SetIconLocation(target.c_str(), iconIndex);
    IPersistFile* file = nullptr;
    hr = link->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
        hr = file->Save(linkPath.c_str(), TRUE);
        file->Release();
    }
    link->Release();
    return SUCCEEDED(hr) ? std::string() : "the link cannot be saved";
}

}  // namespace velkan::runtime
