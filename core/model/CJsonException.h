// Why a text could not be read as JSON, or as a project in JSON: the message names the line and
// column of a syntax fault, or the key path of a value that does not fit
// ("m_versions[1].m_files[3].m_nOptions: ...").
#pragma once

#include "core/stream/CError.h"

namespace velkan {

class CJsonException : public CError {
public:
    using CError::CError;
};

}  // namespace velkan
