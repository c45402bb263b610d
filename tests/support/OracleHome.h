// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// A throw-away Oracle home (its name holds a blank) whose bin folder holds the recording
// utility under the names exp and imp; ORA_HOME and NLS_LANG point at it while it lives, and
// the utility records its arguments and environment inside it.
// Dumps go to a folder of their own, without blanks, since a blank splits an argument.
class OracleHome {
public:
    OracleHome() : m_dir(QDir::tempPath() + QStringLiteral("/oracle home XXXXXX")) {
        QDir(m_dir.path()).mkpath(QStringLiteral("bin"));
        for (const char* name : {"exp", "imp"})
            install(QString::fromLatin1(name), QStringLiteral(RECORDING_UTILITY));
        qputenv("ORA_HOME", QFile::encodeName(m_dir.path()));
        qputenv("NLS_LANG", "AMERICAN_AMERICA.UTF8");
        qputenv("TARNHOLD_RECORD", QFile::encodeName(recordPath()));
        qputenv("TARNHOLD_ENVIRONMENT",
                QFile::encodeName(m_dir.filePath(QStringLiteral("environment.rec"))));
    }

    QString path() const { return m_dir.path(); }
    QString dumps() const { return m_dumps.path(); }
    QString program(const QString& name) const {
        return m_dir.filePath(QStringLiteral("bin/") + name);
    }
    QString recordPath() const { return m_dir.filePath(QStringLiteral("arguments.rec")); }

    void install(const QString& name, const QString& source) const {
        QFile::remove(program(name));
        QFile::copy(source, program(name));
        QFile::setPermissions(program(name),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The arguments the utility received in its last run.
    QStringList recordedArguments() const { return records(recordPath()); }
    // The utility's environment in its last run, one "name=value" each.
    QStringList recordedEnvironment() const {
        return records(m_dir.filePath(QStringLiteral("environment.rec")));
    }

private:
    static QStringList records(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList items;
        const QList<QByteArray> parts = file.readAll().split('\0');
        for (qsizetype i = 0; i + 1 < parts.size(); ++i)
            items.append(QString::fromLocal8Bit(parts[i]));
        return items;
    }

    QTemporaryDir m_dir;
    QTemporaryDir m_dumps;
};
