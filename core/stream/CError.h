// The base of every error the engine raises: a message that says what failed and where.
// Deliberately not std::runtime_error: that class keeps its message in the C++ library's old
// reference-counted string, which would drag a second string implementation (about 40 KB) into
// the Windows runtime, where every byte counts.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace velkan {

class CError : public std::exception {
public:
    explicit CError(std::string what) : m_strWhat(std::move(what)) {}
    const char* what() const noexcept override { return m_strWhat.c_str(); }

private:
    std::string m_strWhat;
};

}  // namespace velkan
