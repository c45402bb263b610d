#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// A throw-away Oracle home (its name holds a blank) whose bin folder holds the recording
// utility under the names exp and imp; ORA_HOME and NLS_LANG point at it while it lives.
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
    QStringList recordedArguments() const {
        QFile file(recordPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList arguments;
        const QList<QByteArray> items = file.readAll().split('\0');
        for (qsizetype i = 0; i + 1 < items.size(); ++i)
            arguments.append(QString::fromLocal8Bit(items[i]));
        return arguments;
    }

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_dumps;
};
