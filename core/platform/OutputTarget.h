// Where an output the user names really goes, so that writing it never destroys anything by
// accident: a symbolic link is written through to the file it names (the link stays), a device or
// FIFO is written into rather than replaced, and a missing folder is created. Files are still
// written beside their target and renamed into place, so a failure leaves the previous file.
#pragma once

#include <string>

namespace velkan {

struct OutputTarget {
    enum class Kind {
        File,    // a regular file (or none yet) at path: written beside it and renamed over it
        Stream,  // a device or FIFO at path: the finished bytes are copied into it
    };
    Kind kind = Kind::File;
    std::string path;  // the given path with its links followed
};

// Follows the links of path, creates the folder that is to hold it, and says how to write it.
// Throws CFileException naming path for a folder, a socket, a loop of links or a folder that
// cannot be created.
OutputTarget PrepareOutputTarget(const std::string& path);

// Copies the file from into the stream target (or into standard output when to is empty),
// writing every byte; throws CFileException naming name.
void CopyIntoStream(const std::string& from, const std::string& to, const std::string& name);

}  // namespace velkan
