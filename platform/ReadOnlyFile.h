// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace platform {

// A regular file open for reading ranges of its bytes, from any thread. Only regular files
// open: a pipe or a device could block a reader forever.
class ReadOnlyFile {
public:
    // Nothing when the path names no regular file or it cannot be opened (missing, a folder,
    // a pipe or device, no permission).
    static std::shared_ptr<ReadOnlyFile> open(const QString& path);

    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // The size now; the file may still be growing or shrinking.
    qint64 size() const;

    // Up to length bytes from offset into buffer; fewer at the end of the file, 0 after it or
    // on a read error.
    qint64 read(qint64 offset, char* buffer, qint64 length) const;
    QByteArray read(qint64 offset, qint64 length) const;

private:
    explicit ReadOnlyFile(int descriptor) : m_descriptor(descriptor) {}
    int m_descriptor;
};

} // namespace platform
