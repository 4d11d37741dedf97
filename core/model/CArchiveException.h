// Why reading a project file failed. The message is the product's own text ("Unexpected file
// format.", "Incorrect version!"); the detail says where, for command-line tools and logs.
#pragma once

#include <string>

#include "core/stream/CError.h"

namespace velkan {

class CArchiveException : public CError {
public:
    enum class Kind {
        EndOfFile,  // the file ends early, or a count or length runs past its end
        BadSchema,  // a record's schema number is not one that can be read
    };

    CArchiveException(Kind kind, const std::string& message, const std::string& detail)
        : CError(message), m_kind(kind), m_detail(detail)
    {
    }

    Kind GetKind() const { return m_kind; }
    // Where it happened, e.g. "at byte 1234: string length 5000 exceeds the 12 bytes left".
    const std::string& Detail() const { return m_detail; }

private:
    Kind m_kind;
    std::string m_detail;
};

}  // namespace velkan
