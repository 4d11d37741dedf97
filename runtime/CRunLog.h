// The log of a run asked for with /LOG=FILE: one UTF-8 line per step, written at once so the
// file says how far a failed run came. Without a file name nothing is written.
#pragma once

#include <initializer_list>
#include <string>

#include "core/stream/JoinText.h"

namespace velkan::runtime {

class CRunLog {
public:
    CRunLog() = default;
    ~CRunLog();
    CRunLog(const CRunLog&) = delete;
    CRunLog& operator=(const CRunLog&) = delete;

    // Creates the log file; false when it cannot be created.
    bool Open(const std::wstring& path);
    void Line(const std::string& text);
    // A line joined from pieces (JoinText).
    void Line(std::initializer_list<TextPiece> pieces);

private:
    void* m_hFile = nullptr;
};

}  // namespace velkan::runtime
