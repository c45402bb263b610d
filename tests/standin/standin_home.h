// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// A throw-away Oracle home with DEMO (sample schemas) and TEST (users only) seeded by the real
// standin-seed, and helpers to run the built exp and imp against it. The programs run with
// NLS_LANG naming UTF-8 unless a test says otherwise, whatever the environment around the tests.
class StandinHome {
public:
    explicit StandinHome(const QStringList& extraDemoSeedArgs = {});

    bool isValid() const { return valid_; }
    QString path(const QString& relative) const { return dir_.filePath(relative); }
    QString database(const QString& sid) const {
        return path(QStringLiteral("oradata/") + sid + QStringLiteral(".db"));
    }

    struct Result {
        int exitCode = -1; // -1 also when the program did not end normally
        QByteArray out;
        QByteArray err;
        QString log; // contents of the log= file, when there was one, read as UTF-8
        QByteArray logBytes;
    };
    // Runs in the child between fork and exec: limits, descriptors.
    using ChildSetup = std::function<void()>;
    Result exp(const QStringList& args, const ChildSetup& setup = {}) const {
        return run(QStringLiteral(STANDIN_EXP), args, setup);
    }
    Result imp(const QStringList& args, const ChildSetup& setup = {}) const {
        return run(QStringLiteral(STANDIN_IMP), args, setup);
    }
    Result run(const QString& program, const QStringList& args, const ChildSetup& setup = {}) const;

    // NLS_LANG for the runs that follow; a null value leaves it unset.
    void setNlsLang(const QString& value) { nlsLang_ = value; }

    // Starts a program with ORA_HOME set, for tests that interrupt it.
    void start(QProcess& process, const QString& program, const QStringList& args) const;

private:
    QTemporaryDir dir_;
    bool valid_ = false;
    QString nlsLang_ = QStringLiteral("AMERICAN_AMERICA.AL32UTF8");
};

QByteArray fileBytes(const QString& path); // empty unless a regular file

// Every node below folder, without following links or opening anything but regular files:
// path -> kind and content (bytes, link target), to compare before and after a run.
QMap<QString, QByteArray> snapshot(const QString& folder);

// Every row of a table in rowid order, each value spelled with its storage class.
QStringList tableRows(const QString& database, const QString& table, const QString& where = {});
qint64 rowCount(const QString& database, const QString& table);
bool tableExists(const QString& database, const QString& table);
QStringList schemaObjects(const QString& database); // "type name", sorted
QStringList grants(const QString& database);        // "OWNER.TABLE PRIVILEGE GRANTEE", sorted
