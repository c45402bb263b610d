#include "standin/atomic_file.h"

#include "standin/failure.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace standin {

namespace {

std::string systemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

void syncFolderOf(const std::string& path) {
    auto folder = std::filesystem::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

AtomicFile::AtomicFile(std::string finalPath)
    : finalPath_(std::move(finalPath)),
      temporaryPath_(finalPath_ + ".partial-" + std::to_string(::getpid())) {
    fd_ = ::open(temporaryPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0)
        throw Failure(systemError("cannot write the dump next to", finalPath_));
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temporaryPath_.c_str());
    }
}

void AtomicFile::write(std::string_view data) {
    while (!data.empty()) {
        const auto written = ::write(fd_, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw Failure(systemError("cannot write", temporaryPath_));
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
}

void AtomicFile::commit() {
    if (::fsync(fd_) != 0)
        throw Failure(systemError("cannot sync", temporaryPath_));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        ::unlink(temporaryPath_.c_str());
        throw Failure(systemError("cannot close", temporaryPath_));
    }
    if (::rename(temporaryPath_.c_str(), finalPath_.c_str()) != 0) {
        const auto message = systemError("cannot rename the finished dump to", finalPath_);
        ::unlink(temporaryPath_.c_str());
        throw Failure(message);
    }
    syncFolderOf(finalPath_);
}

} // namespace standin
