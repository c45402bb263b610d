#include "platform/Files.h"

#include <QFile>
#include <QFileInfo>

namespace platform {

bool fileExists(const QString& path) {
    if (path.isEmpty())
        return false;
    return QFileInfo(path).isFile();
}

std::optional<QString> readText8Bit(const QString& path) {
    // Only a regular file: opening a pipe would wait for a writer and freeze the window.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return QString::fromLocal8Bit(bytes);
}

} // namespace platform
