// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/output_paths.h"

#include "standin/failure.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <sys/stat.h>
#include <unistd.h>

namespace standin {

namespace fs = std::filesystem;

namespace {

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string folderOf(const std::string& path) {
    const auto folder = fs::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

std::string realPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// "" for a regular file (or nothing at all), else what stands there.
const char* otherKind(mode_t mode) {
    if (S_ISREG(mode))
        return "";
    if (S_ISLNK(mode))
        return "a symbolic link";
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "not a regular file";
}

// Why an output may not go to path: something other than a regular file stands there, or its
// folder is missing.
std::string nodeRefusal(const char* key, const std::string& path) {
    struct stat node {};
    if (::lstat(path.c_str(), &node) == 0) {
        if (const char* kind = otherKind(node.st_mode); *kind) {
            return std::string(key) + "= names " + quoted(path) + ", which is " + kind + "; " +
                   key + "= is written only as a regular file";
        }
        return {};
    }
    struct stat folder {};
    const auto parent = folderOf(path);
    if (::stat(parent.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode))
        return std::string(key) + "= names a file in " + quoted(parent) + ", which is not a folder";
    return {};
}

std::string oradataRefusal(const char* key, const std::string& path, const fs::path& oradata) {
    if (!insideFolder(path, oradata))
        return {};
    return std::string(key) + "= names " + quoted(path) + " in " + quoted(oradata.string()) +
           ", where the databases live; choose another folder";
}

std::string firstOf(std::initializer_list<std::string> refusals) {
    for (const auto& refusal : refusals) {
        if (!refusal.empty())
            return refusal;
    }
    return {};
}

std::string inputRefusal(const std::string& path) {
    struct stat node {};
    if (::stat(path.c_str(), &node) != 0)
        return "cannot open " + path + ": " + std::strerror(errno);
    if (const char* kind = otherKind(node.st_mode); *kind)
        return "file= names " + quoted(path) + ", which is " + kind + "; imp reads a regular file";
    return {};
}

} // namespace

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    const bool firstExists = ::lstat(a.c_str(), &first) == 0;
    const bool secondExists = ::lstat(b.c_str(), &second) == 0;
    if (firstExists || secondExists)
        return firstExists && secondExists && first.st_dev == second.st_dev &&
               first.st_ino == second.st_ino;
    struct stat firstFolder {
    }, secondFolder{};
    return fs::path(a).filename() == fs::path(b).filename() &&
           ::stat(folderOf(a).c_str(), &firstFolder) == 0 &&
           ::stat(folderOf(b).c_str(), &secondFolder) == 0 &&
           firstFolder.st_dev == secondFolder.st_dev && firstFolder.st_ino == secondFolder.st_ino;
}

bool insideFolder(const std::string& path, const fs::path& folder) {
    const auto folderReal = realPath(folder.string());
    if (folderReal.empty())
        return false;
    const auto parentReal = realPath(folderOf(path));
    if (!parentReal.empty() &&
        (parentReal == folderReal || parentReal.starts_with(folderReal + '/')))
        return true;
    // A hard link elsewhere to one of the folder's files is that file.
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0)
        return false;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folderReal, error)) {
        struct stat node {};
        if (::stat(entry.path().c_str(), &node) == 0 && node.st_dev == target.st_dev &&
            node.st_ino == target.st_ino)
            return true;
    }
    return false;
}

std::string replaceRefusal(const std::string& path) {
    struct stat node {};
    if (::lstat(path.c_str(), &node) != 0)
        return {};
    if (const char* kind = otherKind(node.st_mode); *kind)
        return nodeRefusal("file", path);
    // The folder's permission would allow the rename; the file's own says it is not to change.
    if ((node.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
        return "file= names " + quoted(path) + ", which is read-only; it is left as it is";
    return {};
}

std::string fileRefusal(const Options& options, const fs::path& oradata) {
    const auto& file = options.file;
    const auto& log = options.log;
    const bool exporting = options.tool == Tool::Export;
    const bool hasLog = !log.empty();
    return firstOf({
        exporting ? nodeRefusal("file", file) : inputRefusal(file),
        hasLog ? nodeRefusal("log", log) : std::string(),
        hasLog && sameFile(file, log) ? "file= and log= name the same file" : std::string(),
        exporting ? oradataRefusal("file", file, oradata) : std::string(),
        hasLog ? oradataRefusal("log", log, oradata) : std::string(),
        exporting ? replaceRefusal(file) : std::string(),
    });
}

int openLogFile(const Options& options, const fs::path& oradata) {
    const auto& path = options.log;
    constexpr int flags = O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC;
    int fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
    const bool created = fd >= 0;
    if (!created && errno == EEXIST)
        fd = ::open(path.c_str(), flags | O_NONBLOCK); // a pipe must not block the open
    if (fd < 0) {
        if (errno == ELOOP)
            throw Failure(nodeRefusal("log", path));
        throw Failure("cannot write the log file " + path + ": " + std::strerror(errno));
    }
    // Something may have taken the path since the checks: look again through the open file.
    struct stat node {};
    std::string refusal;
    if (::fstat(fd, &node) != 0 || !S_ISREG(node.st_mode))
        refusal = "log= names " + quoted(path) + ", which is not a regular file";
    else
        refusal = firstOf(
            {sameFile(options.file, path) ? "file= and log= name the same file" : std::string(),
             oradataRefusal("log", path, oradata)});
    if (refusal.empty() && ::ftruncate(fd, 0) != 0)
        refusal = "cannot write the log file " + path + ": " + std::strerror(errno);
    if (!refusal.empty()) {
        ::close(fd);
        if (created)
            ::unlink(path.c_str());
        throw Failure(refusal);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace standin
