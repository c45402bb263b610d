#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A throw-away Oracle home with DEMO (sample schemas) and TEST (users only) seeded by the real
// standin-seed, and helpers to run the built exp and imp against it.
class StandinHome {
public:
    explicit StandinHome(const QStringList& extraDemoSeedArgs = {});

    bool isValid() const { return valid_; }
    QString path(const QString& relative) const { return dir_.filePath(relative); }
    QString database(const QString& sid) const {
        return path(QStringLiteral("oradata/") + sid + QStringLiteral(".db"));
    }

    struct Result {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
        QString log; // contents of the log= file, when there was one
    };
    Result exp(const QStringList& args) const { return run(QStringLiteral(STANDIN_EXP), args); }
    Result imp(const QStringList& args) const { return run(QStringLiteral(STANDIN_IMP), args); }
    Result run(const QString& program, const QStringList& args) const;

    // Starts a program with ORA_HOME set, for tests that interrupt it.
    void start(QProcess& process, const QString& program, const QStringList& args) const;

private:
    QTemporaryDir dir_;
    bool valid_ = false;
};

QByteArray fileBytes(const QString& path);

// Every row of a table in rowid order, each value spelled with its storage class.
QStringList tableRows(const QString& database, const QString& table, const QString& where = {});
qint64 rowCount(const QString& database, const QString& table);
bool tableExists(const QString& database, const QString& table);
QStringList schemaObjects(const QString& database); // "type name", sorted
QStringList grants(const QString& database);        // "OWNER.TABLE PRIVILEGE GRANTEE", sorted
