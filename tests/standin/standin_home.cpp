// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin_home.h"

#include "standin/database.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcessEnvironment>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

bool seed(const QString& database, const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(STANDIN_SEED), args + QStringList{database});
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

QString logPathIn(const QStringList& args) {
    for (const auto& arg : args) {
        if (arg.startsWith(u"log="_s, Qt::CaseInsensitive))
            return arg.mid(4);
    }
    return {};
}

QStringList queryStrings(const QString& database, const std::string& sql) {
    standin::Database db(database.toStdString(), standin::Database::Mode::ReadOnly);
    auto query = db.prepare(sql);
    QStringList lines;
    while (query.step()) {
        QStringList values;
        for (int column = 0; column < query.columnCount(); ++column) {
            switch (query.columnType(column)) {
            case SQLITE_NULL:
                values << u"null"_s;
                break;
            case SQLITE_INTEGER:
                values << u"int:"_s + QString::number(query.columnInteger(column));
                break;
            case SQLITE_FLOAT:
                values << u"real:"_s + QString::number(query.columnReal(column), 'g', 17);
                break;
            case SQLITE_TEXT:
                values << u"text:"_s + QString::fromUtf8(query.columnText(column));
                break;
            default:
                values << u"blob:"_s +
                              QString::fromLatin1(
                                  QByteArray::fromStdString(std::string(query.columnBlob(column)))
                                      .toHex());
            }
        }
        lines << values.join(u'|');
    }
    return lines;
}

std::string quoted(const QString& name) {
    return '"' + name.toStdString() + '"';
}

} // namespace

StandinHome::StandinHome(const QStringList& extraDemoSeedArgs) {
    valid_ = dir_.isValid() && QDir(dir_.path()).mkpath(u"oradata"_s) &&
             seed(database(u"DEMO"_s), QStringList{u"--demo"_s} + extraDemoSeedArgs) &&
             seed(database(u"TEST"_s), {});
}

StandinHome::Result StandinHome::run(const QString& program, const QStringList& args,
                                     const ChildSetup& setup) const {
    QProcess process;
    if (setup)
        process.setChildProcessModifier(setup);
    start(process, program, args);
    Result result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    if (const auto log = logPathIn(args); !log.isEmpty()) {
        result.logBytes = fileBytes(log);
        result.log = QString::fromUtf8(result.logBytes);
    }
    return result;
}

void StandinHome::start(QProcess& process, const QString& program, const QStringList& args) const {
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"ORA_HOME"_s, dir_.path());
    if (nlsLang_.isNull())
        environment.remove(u"NLS_LANG"_s);
    else
        environment.insert(u"NLS_LANG"_s, nlsLang_);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir_.path());
    process.start(program, args);
}

QByteArray fileBytes(const QString& path) {
    struct stat node {};
    if (::stat(QFile::encodeName(path).constData(), &node) != 0 || !S_ISREG(node.st_mode))
        return {}; // a pipe or a device would block or never end
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList tableRows(const QString& database, const QString& table, const QString& where) {
    auto sql = "SELECT * FROM " + quoted(table);
    if (!where.isEmpty())
        sql += " WHERE " + where.toStdString();
    return queryStrings(database, sql + " ORDER BY rowid");
}

qint64 rowCount(const QString& database, const QString& table) {
    return queryStrings(database, "SELECT count(*) FROM " + quoted(table))
        .value(0)
        .mid(4)
        .toLongLong();
}

bool tableExists(const QString& database, const QString& table) {
    return schemaObjects(database).contains(u"table "_s + table);
}

QStringList schemaObjects(const QString& database) {
    QStringList objects;
    for (const auto& line : queryStrings(database, "SELECT type, name FROM sqlite_schema"
                                                   " WHERE name NOT LIKE 'sqlite_%' ORDER BY 1, 2"))
        objects << line.split(u'|').replaceInStrings(u"text:"_s, QString()).join(u' ');
    return objects;
}

QStringList grants(const QString& database) {
    QStringList lines;
    for (const auto& line :
         queryStrings(database, "SELECT owner || '.' || table_name, privilege, grantee"
                                " FROM th_grants ORDER BY 1, 2, 3"))
        lines << line.split(u'|').replaceInStrings(u"text:"_s, QString()).join(u' ');
    return lines;
}

QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> nodes;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const auto path = it.next();
        const auto encoded = QFile::encodeName(path);
        struct stat node {};
        if (::lstat(encoded.constData(), &node) != 0)
            continue;
        QByteArray state = QByteArray::number(node.st_mode, 8) + ' ';
        if (S_ISREG(node.st_mode)) {
            state += fileBytes(path);
        } else if (S_ISLNK(node.st_mode)) {
            char target[4096];
            const auto length = ::readlink(encoded.constData(), target, sizeof target);
            state += QByteArray(target, static_cast<int>(std::max<ssize_t>(length, 0)));
        } else if (S_ISCHR(node.st_mode) || S_ISBLK(node.st_mode)) {
            state += QByteArray::number(static_cast<qulonglong>(node.st_rdev));
        }
        nodes.insert(path, state);
    }
    return nodes;
}
