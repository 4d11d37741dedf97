// The names of the continuation files of a setup program spread over several disks (".D01",
// ".D02", ...): the build writes them, readers look for them beside the program.
#pragma once

#include <string>

namespace velkan {

// The path of continuation file n (1, 2, ...): the setup program's path with everything from the
// last '.' of its file name replaced by ".D%2.2d" of n, or that suffix appended when the file name
// has no '.'. Both '/' and '\' end a directory name, so a '.' in a directory is never touched.
// For the builder's 8-bit paths and the runtime's wide ones alike.
template <class Char>
std::basic_string<Char> ContinuationFileName(const std::basic_string<Char>& path, int n)
{
    std::basic_string<Char> digits;
    for (unsigned value = n < 0 ? 0u : static_cast<unsigned>(n); value || digits.size() < 2;
         value /= 10)
        digits.insert(digits.begin(), static_cast<Char>('0' + value % 10));
    std::basic_string<Char> suffix{static_cast<Char>('.'), static_cast<Char>('D')};
    suffix += digits;
    const Char slashes[] = {static_cast<Char>('/'), static_cast<Char>('\\'), 0};
    size_t nameStart = path.find_last_of(slashes);
    nameStart = nameStart == std::basic_string<Char>::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind(static_cast<Char>('.'));
    if (dot == std::basic_string<Char>::npos || dot < nameStart) return path + suffix;
    return path.substr(0, dot) + suffix;
}

inline std::string ContinuationFileName(const char* path, int n)
{
    return ContinuationFileName(std::string(path), n);
}

}  // namespace velkan
