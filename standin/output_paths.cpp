// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/output_paths.h"

#include "standin/failure.h"

#include <utility>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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

// The messages name the file; these say why it may not be used.
constexpr const char* sameFileRefusal = "file= and log= name the same file";

// Why an output may not go to path: something other than a regular file stands there, or its
// folder is missing.
std::string nodeRefusal(const char* key, const std::string& path) {
    struct stat node {};
    if (::lstat(path.c_str(), &node) == 0) {
        if (const char* kind = otherKind(node.st_mode); *kind)
            return std::string("it is ") + kind + "; " + key +
                   "= is written only as a regular file";
        return {};
    }
    struct stat folder {};
    const auto parent = folderOf(path);
    if (::stat(parent.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode))
        return quoted(parent) + " is not a folder";
    return {};
}

std::string oradataRefusal(const std::string& path, const fs::path& oradata) {
    if (!insideFolder(path, oradata))
        return {};
    return "it lies in " + quoted(oradata.string()) +
           ", where the databases live; choose another folder";
}

std::string inputRefusal(const std::string& path) {
    struct stat node {};
    if (::stat(path.c_str(), &node) != 0)
        return std::strerror(errno);
    if (const char* kind = otherKind(node.st_mode); *kind)
        return std::string("it is ") + kind + "; imp reads a regular file";
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
        return "it is read-only; it is left as it is";
    return {};
}

std::optional<Message> fileRefusal(const Options& options, const fs::path& oradata) {
    const auto& file = options.file;
    const auto& log = options.log;
    const bool exporting = options.tool == Tool::Export;
    const bool hasLog = !log.empty();
    // In the order they are told: why, and whether it is about the dump or the log.
    const std::pair<std::string, bool> refusals[] = {
        {exporting ? nodeRefusal("file", file) : inputRefusal(file), true},
        {hasLog ? nodeRefusal("log", log) : std::string(), false},
        {hasLog && sameFile(file, log) ? sameFileRefusal : std::string(), false},
        {exporting ? oradataRefusal(file, oradata) : std::string(), true},
        {hasLog ? oradataRefusal(log, oradata) : std::string(), false},
        {exporting ? replaceRefusal(file) : std::string(), true},
    };
    for (const auto& [why, aboutDump] : refusals) {
        if (why.empty())
            continue;
        if (!aboutDump)
            return messages::cannotWrite(options.tool, log, why);
        return exporting ? messages::cannotWrite(options.tool, file, why)
                         : messages::cannotRead(file, why);
    }
    return std::nullopt;
}

int openLogFile(const Options& options, const fs::path& oradata) {
    const auto& path = options.log;
    constexpr int flags = O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC;
    int fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
    const bool created = fd >= 0;
    if (!created && errno == EEXIST)
        fd = ::open(path.c_str(), flags | O_NONBLOCK); // a pipe must not block the open
    if (fd < 0) {
        const int problem = errno;
        throw Failure(messages::cannotWrite(options.tool, path,
                                            problem == ELOOP ? nodeRefusal("log", path)
                                                             : std::strerror(problem)));
    }
    // Something may have taken the path since the checks: look again through the open file.
    struct stat node {};
    std::string refusal;
    if (::fstat(fd, &node) != 0 || !S_ISREG(node.st_mode))
        refusal = "it is not a regular file; log= is written only as a regular file";
    else if (sameFile(options.file, path))
        refusal = sameFileRefusal;
    else
        refusal = oradataRefusal(path, oradata);
    if (refusal.empty() && ::ftruncate(fd, 0) != 0)
        refusal = std::strerror(errno);
    if (!refusal.empty()) {
        ::close(fd);
        if (created)
            ::unlink(path.c_str());
        throw Failure(messages::cannotWrite(options.tool, path, refusal));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace standin
