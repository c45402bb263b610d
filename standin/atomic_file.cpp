// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/atomic_file.h"

#include "standin/failure.h"
#include "standin/interruption.h"
#include "standin/output_paths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace standin {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view partialSuffix = ".partial-";

// A write that failed: the dump is not written.
Failure writeFailure(const std::string& what, const std::string& path) {
    return Failure(messages::dumpNotWritten(what + " " + path + ": " + std::strerror(errno)));
}

fs::path folderOf(const std::string& path) {
    const auto folder = fs::path(path).parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

void syncFolderOf(const std::string& path) {
    const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// mkostemp creates the file for its owner only; a dump gets the modes any new file would get.
void giveUsualMode(int fd) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
}

} // namespace

AtomicFile::AtomicFile(std::string finalPath) : finalPath_(std::move(finalPath)) {
    std::string pattern = finalPath_ + std::string(partialSuffix) + "XXXXXX";
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0)
        throw Failure(messages::cannotWrite(Tool::Export, finalPath_, std::strerror(errno)));
    temporaryPath_ = pattern;
    registerPartialFile(temporaryPath_);
    ::flock(fd_, LOCK_EX | LOCK_NB); // tells removeLeftoverPartials that this one is alive
    giveUsualMode(fd_);
}

AtomicFile::~AtomicFile() {
    discard();
}

void AtomicFile::discard() {
    if (fd_ < 0)
        return;
    ::unlink(temporaryPath_.c_str());
    ::close(fd_);
    fd_ = -1;
    forgetPartialFile();
}

void AtomicFile::write(std::string_view data) {
    while (!data.empty()) {
        const auto written = ::write(fd_, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) {
                throwIfInterrupted();
                continue;
            }
            throw writeFailure("cannot write", temporaryPath_);
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
}

void AtomicFile::commit() {
    if (::fsync(fd_) != 0)
        throw writeFailure("cannot write", temporaryPath_);
    // What stands at the final name may have changed since the run's checks.
    if (auto refusal = replaceRefusal(finalPath_); !refusal.empty())
        throw Failure(messages::cannotWrite(Tool::Export, finalPath_, refusal));
    throwIfInterrupted();
    if (::rename(temporaryPath_.c_str(), finalPath_.c_str()) != 0)
        throw writeFailure("cannot rename the finished dump to", finalPath_);
    ::close(fd_);
    fd_ = -1;
    forgetPartialFile();
    syncFolderOf(finalPath_);
}

std::vector<std::string> removeLeftoverPartials(const std::string& finalPath) {
    std::vector<std::string> removed;
    const auto prefix = fs::path(finalPath).filename().string() + std::string(partialSuffix);
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folderOf(finalPath), error)) {
        const auto name = entry.path().filename().string();
        if (!name.starts_with(prefix))
            continue;
        const int fd = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat node {};
        if (::fstat(fd, &node) == 0 && S_ISREG(node.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(entry.path().c_str()) == 0)
            removed.push_back(entry.path().string());
        ::close(fd);
    }
    return removed;
}

} // namespace standin
