// Shell links (.lnk) for Start-menu icons and desktop shortcuts.
#pragma once

#include <string>

namespace velkan::runtime {

// Creates or replaces the link. COM must be initialised on the calling thread. Returns an empty
// string on success, else what failed.
std::string CreateShellLink(const std::wstring& linkPath, const std::wstring& target,
                            const std::wstring& args, const std::wstring& workDir, int iconIndex);

}  // namespace velkan::runtime
