#include "core/platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <unistd.h>

#include "core/platform/InterruptCleanup.h"
#include "core/platform/OutputTarget.h"
#include "core/platform/PrivateTemp.h"
#include "core/stream/CFileException.h"

namespace velkan {

namespace {

// A fresh name beside path that no other file has: path + ".tmp" + a number, created
// exclusively so two writers never share it.
std::string CreateTemporaryBeside(const std::string& path, const std::string& name)
{
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        std::string candidate = path + ".tmp" + std::to_string(static_cast<unsigned>(getpid())) +
                                "_" + std::to_string(attempt);
        int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            close(fd);
            return candidate;
        }
        if (errno != EEXIST) {
            throw CFileException(name, std::string("cannot create a temporary file beside it (") +
                                           std::strerror(errno) + ")");
        }
    }
    throw CFileException(name, "cannot create a temporary file beside it");
}

}  // namespace

std::string TemporaryNameBeside(const std::string& path)
{
    std::random_device random;
    char text[24];
    std::snprintf(text, sizeof text, ".%08x%08x.tmp", random(), random());
    return path + text;
}

namespace {

// A device or FIFO takes the bytes once they are complete: the writer may seek, a stream cannot.
void WriteIntoStream(const std::string& path, const std::string& stream,
                     const std::function<void(CFile&)>& writer)
{
    const std::string folder = MakePrivateTempDir("");
    const int folderGuard = RegisterTempPath(folder, true);
    const std::string temp = folder + "/output";
    const int guard = RegisterTempPath(temp, false);
    try {
        {
            CFile file(temp, CFile::Mode::Create);
            writer(file);
            file.Close();
        }
        CopyIntoStream(temp, stream, path);
    } catch (...) {
        std::remove(temp.c_str());
        rmdir(folder.c_str());
        UnregisterTempPath(guard);
        UnregisterTempPath(folderGuard);
        throw;
    }
    std::remove(temp.c_str());
    rmdir(folder.c_str());
    UnregisterTempPath(guard);
    UnregisterTempPath(folderGuard);
}

}  // namespace

void WriteFileAtomically(const std::string& given, const std::function<void(CFile&)>& writer)
{
    const OutputTarget target = PrepareOutputTarget(given);
    if (target.kind == OutputTarget::Kind::Stream)
        return WriteIntoStream(given, target.path, writer);
    const std::string& path = target.path;
    std::string temp = CreateTemporaryBeside(path, given);
    int guard = RegisterTempPath(temp, false);
    try {
        try {
            CFile file(temp, CFile::Mode::Create);
            writer(file);
            file.Close();
        } catch (const CFileException& e) {
            // The temporary name means nothing to the user: the message names the output.
            if (e.Path() != temp) throw;
            throw CFileException(given, std::string(e.what()).substr(temp.size() + 2));
        }
        std::error_code ec;
        std::filesystem::rename(temp, path, ec);
        if (ec) throw CFileException(given, "cannot replace the file (" + ec.message() + ")");
        UnregisterTempPath(guard);
    } catch (...) {
        std::remove(temp.c_str());
        UnregisterTempPath(guard);
        throw;
    }
}

void WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes)
{
    WriteFileAtomically(path, [&bytes](CFile& file) { file.Write(bytes.data(), bytes.size()); });
}

std::vector<unsigned char> ReadWholeFile(const std::string& path)
{
    CFile file(path, CFile::Mode::Read);
    std::vector<unsigned char> bytes;
    unsigned char buffer[65536];
    for (;;) {
        size_t n = file.Read(buffer, sizeof buffer);
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

}  // namespace velkan
