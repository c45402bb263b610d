// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ReadOnlyFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::shared_ptr<ReadOnlyFile> ReadOnlyFile::open(const QString& path) {
    if (path.isEmpty())
        return nullptr;
    // Without O_NONBLOCK, opening a pipe waits for a writer. The type is tested on the opened
    // descriptor, so a file swapped for a pipe after a test cannot slip through.
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return nullptr;
    }
    return std::shared_ptr<ReadOnlyFile>(new ReadOnlyFile(descriptor, path));
}

ReadOnlyFile::~ReadOnlyFile() {
    ::close(m_descriptor);
}

qint64 ReadOnlyFile::size() const {
    struct stat status {};
    return ::fstat(m_descriptor, &status) == 0 ? status.st_size : 0;
}

ReadOnlyFile::Stamp ReadOnlyFile::stamp() const {
    struct stat status {};
    if (::fstat(m_descriptor, &status) != 0)
        return {};
    return {static_cast<quint64>(status.st_dev), static_cast<quint64>(status.st_ino),
            status.st_size, qint64{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec};
}

bool ReadOnlyFile::replacedAtPath() const {
    struct stat named {};
    struct stat open {};
    if (::stat(QFile::encodeName(m_path).constData(), &named) != 0 || !S_ISREG(named.st_mode) ||
        ::fstat(m_descriptor, &open) != 0)
        return false;
    return named.st_dev != open.st_dev || named.st_ino != open.st_ino;
}

qint64 ReadOnlyFile::read(qint64 offset, char* buffer, qint64 length) const {
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::pread(m_descriptor, buffer + done, static_cast<size_t>(length - done),
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

QByteArray ReadOnlyFile::read(qint64 offset, qint64 length) const {
    QByteArray bytes(qMax<qint64>(length, 0), Qt::Uninitialized);
    bytes.truncate(read(offset, bytes.data(), bytes.size()));
    return bytes;
}

} // namespace platform
