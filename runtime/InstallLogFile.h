// The install log as a file beside the uninstaller (its text is CInstallLog's).
#pragma once

#include <string>

#include "core/install/CInstallLog.h"

namespace velkan::runtime {

using install::CInstallLog;
using install::CLogRecord;
using install::LogKind;

// Reads a log; false when the file is missing, too large or not a log of ours (log is then
// empty).
bool LoadInstallLog(const std::wstring& path, CInstallLog& log);
// Writes a log; false when the file cannot be written.
bool SaveInstallLog(const std::wstring& path, const CInstallLog& log);

}  // namespace velkan::runtime
