// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <utility>

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

    // Which file it is and how it stands: its size and the time it was last written to.
    struct Stamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modified = 0; // nanoseconds since the epoch
        bool operator==(const Stamp&) const = default;
    };
    Stamp stamp() const;
    // The path it was opened by.
    const QString& path() const { return m_path; }
    // Whether the path names another regular file now, one saved over this one by renaming or
    // made anew after it was removed; not when it names none.
    bool replacedAtPath() const;

    // Up to length bytes from offset into buffer; fewer at the end of the file, 0 after it or
    // on a read error.
    qint64 read(qint64 offset, char* buffer, qint64 length) const;
    QByteArray read(qint64 offset, qint64 length) const;

private:
    ReadOnlyFile(int descriptor, QString path)
        : m_descriptor(descriptor), m_path(std::move(path)) {}
    int m_descriptor;
    QString m_path;
};

} // namespace platform
