// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/demo_data.h"

#include "standin/catalogue.h"

#include <array>
#include <string>

namespace standin {

namespace {

// Deterministic, so every demo home holds the same data.
class Sequence {
public:
    std::uint32_t next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    std::uint32_t below(std::uint32_t bound) { return next() % bound; }

private:
    std::uint64_t state_ = 20240611;
};

template <std::size_t N>
const char* pick(const std::array<const char*, N>& items, Sequence& sequence) {
    return items[sequence.below(static_cast<std::uint32_t>(N))];
}

std::string date(Sequence& sequence, int firstYear, int years) {
    // Room for any int the compiler can imagine, so the format can never be cut short.
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d",
                  firstYear + static_cast<int>(sequence.below(static_cast<std::uint32_t>(years))),
                  1 + static_cast<int>(sequence.below(12)),
                  1 + static_cast<int>(sequence.below(28)));
    return text;
}

void addDepartments(Database& db) {
    db.exec(
        "CREATE TABLE \"SCOTT.DEPT\" (\"DEPTNO\" NUMBER(2) NOT NULL, \"DNAME\" VARCHAR2(14),"
        " \"LOC\" VARCHAR2(13), PRIMARY KEY (\"DEPTNO\"));"
        "INSERT INTO \"SCOTT.DEPT\" VALUES (10, 'FINANCE', 'LISBON'), (20, 'RESEARCH', 'TAMPERE'),"
        " (30, 'SALES', 'VALENCIA'), (40, 'OPERATIONS', 'GDANSK'), (50, 'SUPPORT', 'PORTO'),"
        " (60, 'LOGISTICS', NULL);");
}

void addEmployees(Database& db) {
    db.exec("CREATE TABLE \"SCOTT.EMP\" (\"EMPNO\" NUMBER(4) NOT NULL, \"ENAME\" VARCHAR2(20),"
            " \"JOB\" VARCHAR2(12), \"MGR\" NUMBER(4), \"HIREDATE\" DATE, \"SAL\" NUMBER(7,2),"
            " \"COMM\" NUMBER(7,2), \"DEPTNO\" NUMBER(2), PRIMARY KEY (\"EMPNO\"));"
            "CREATE INDEX \"SCOTT.EMP_DEPTNO_IX\" ON \"SCOTT.EMP\" (\"DEPTNO\");");
    const std::array<const char*, 16> given = {"ADA",   "BORIS", "CLEO",  "DMITRI", "EDDA", "FINN",
                                               "GRETA", "HUGO",  "IRIS",  "JONAS",  "KAI",  "LENA",
                                               "MILO",  "NORA",  "OSKAR", "PIA"};
    const std::array<const char*, 12> family = {"ACKER",  "BRANDT", "CORREIA", "DUVAL",
                                                "EKLUND", "FABER",  "O'HARA",  "HOLM",
                                                "IVERS",  "JANSEN", "STRÖM",   "LUND"};
    const std::array<const char*, 5> jobs = {"CLERK", "SALESMAN", "ANALYST", "MANAGER", "ENGINEER"};
    Sequence sequence;
    auto insert = db.prepare("INSERT INTO \"SCOTT.EMP\" VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    for (int i = 0; i < 300; ++i) {
        const std::string name = std::string(pick(given, sequence)) + ' ' + pick(family, sequence);
        const std::string job = i == 0 ? "PRESIDENT" : pick(jobs, sequence);
        const std::string hired = date(sequence, 1995, 28);
        const int deptno = 10 * (1 + i % 6);
        insert.bindInteger(1, 7000 + i);
        insert.bindText(2, name);
        insert.bindText(3, job);
        if (i == 0)
            insert.bindNull(4);
        else
            insert.bindInteger(4, 7000 + (i - 1) / 12);
        insert.bindText(5, hired);
        insert.bindReal(6, 900 + sequence.below(6000) + 0.25 * sequence.below(4));
        if (job == "SALESMAN")
            insert.bindReal(7, 50.0 * sequence.below(30));
        else
            insert.bindNull(7);
        insert.bindInteger(8, deptno);
        insert.step();
        insert.reset();
    }
}

void addSalaryGrades(Database& db) {
    db.exec("CREATE TABLE \"SCOTT.SALGRADE\" (\"GRADE\" INTEGER NOT NULL, \"LOSAL\" NUMBER,"
            " \"HISAL\" NUMBER, PRIMARY KEY (\"GRADE\"));"
            "INSERT INTO \"SCOTT.SALGRADE\" VALUES (1, 700, 1400), (2, 1401, 2200),"
            " (3, 2201, 3400), (4, 3401, 5000), (5, 5001, 9999);");
}

void addBadges(Database& db) {
    db.exec("CREATE TABLE \"SCOTT.BADGE\" (\"EMPNO\" NUMBER(4) NOT NULL, \"CHIP\" BLOB,"
            " \"NOTE\" VARCHAR2(60), PRIMARY KEY (\"EMPNO\"));");
    Sequence sequence;
    auto insert = db.prepare("INSERT INTO \"SCOTT.BADGE\" VALUES (?1, ?2, ?3)");
    for (int i = 0; i < 20; ++i) {
        std::string chip;
        for (int b = 0; b < 8 + i; ++b)
            chip += static_cast<char>(sequence.below(256));
        insert.bindInteger(1, 7000 + 3 * i);
        insert.bindBlob(2, chip);
        if (i % 4 == 0)
            insert.bindText(3, "reissued\tafter loss\nsee desk \\ 2");
        else
            insert.bindNull(3);
        insert.step();
        insert.reset();
    }
}

// Names that one legacy character set holds and another does not, for trying NLS_LANG.
void addCustomers(Database& db) {
    db.exec("CREATE TABLE \"SCOTT.CUSTOMER\" (\"CUSTNO\" NUMBER(4) NOT NULL,"
            " \"NAME\" VARCHAR2(30), \"CITY\" VARCHAR2(30), \"COUNTRY\" VARCHAR2(2),"
            " PRIMARY KEY (\"CUSTNO\"));"
            "INSERT INTO \"SCOTT.CUSTOMER\" VALUES (1, 'Müller', 'Graz', 'AT'),"
            " (2, 'Holm', 'Ærøskøbing', 'DK'), (3, 'Nowak', 'Łódź', 'PL'),"
            " (4, 'Tanaka', '東京', 'JP'), (5, 'Byrne', 'Cork', 'IE');");
}

void addHumanResources(Database& db) {
    db.exec(
        "CREATE TABLE \"HR.JOBS\" (\"JOB_ID\" VARCHAR2(10) NOT NULL, \"JOB_TITLE\" VARCHAR2(35)"
        " NOT NULL, \"MIN_SALARY\" NUMBER(6), \"MAX_SALARY\" NUMBER(6), PRIMARY KEY (\"JOB_ID\"));"
        "CREATE UNIQUE INDEX \"HR.JOBS_TITLE_UK\" ON \"HR.JOBS\" (\"JOB_TITLE\");"
        "INSERT INTO \"HR.JOBS\" VALUES ('CLERK', 'Clerk', 1500, 3000),"
        " ('SALESMAN', 'Sales Representative', 2000, 6000), ('ANALYST', 'Analyst', 3500, 7500),"
        " ('MANAGER', 'Manager', 5000, 11000), ('ENGINEER', 'Engineer', 4000, 9000),"
        " ('PRESIDENT', 'President', 12000, 25000), ('AUDITOR', 'Internal Auditor', 3000, NULL),"
        " ('BUYER', 'Purchasing Buyer', 2500, 5500), ('CHEF', 'Canteen Chef', 2200, 4200),"
        " ('DRIVER', 'Delivery Driver', 1800, 3200);"
        "CREATE TABLE \"HR.LOCATIONS\" (\"LOCATION_ID\" NUMBER(4) NOT NULL, \"CITY\" VARCHAR2(30)"
        " NOT NULL, \"COUNTRY\" VARCHAR2(2), PRIMARY KEY (\"LOCATION_ID\"));"
        "INSERT INTO \"HR.LOCATIONS\" VALUES (1000, 'Lisbon', 'PT'), (1100, 'Porto', 'PT'),"
        " (1200, 'Tampere', 'FI'), (1300, 'Valencia', 'ES'), (1400, 'Gdańsk', 'PL'),"
        " (1500, 'Aarhus', 'DK'), (1600, 'Graz', 'AT'), (1700, 'Ghent', 'BE'),"
        " (1800, 'Brno', 'CZ'), (1900, 'Cork', 'IE'), (2000, 'Tartu', 'EE'),"
        " (2100, 'Bergen', 'NO'), (2200, 'Lyon', 'FR'), (2300, 'Leipzig', 'DE'),"
        " (2400, 'Bologna', 'IT'), (2500, 'Utrecht', 'NL'), (2600, 'Kraków', 'PL'),"
        " (2700, 'Uppsala', 'SE'), (2800, 'Basel', 'CH'), (2900, 'Oulu', NULL);");
}

} // namespace

void addStandardUsers(Database& db) {
    addUser(db, "SYSTEM", "manager", true);
    addUser(db, "SCOTT", "tiger", false);
    addUser(db, "HR", "hr", false);
}

void addDemoSchemas(Database& db) {
    addDepartments(db);
    addEmployees(db);
    addSalaryGrades(db);
    addBadges(db);
    addCustomers(db);
    addHumanResources(db);
    addGrant(db, {"SCOTT", "EMP"}, {"SELECT", "HR"});
    addGrant(db, {"SCOTT", "DEPT"}, {"SELECT", "HR"});
}

void addBigTable(Database& db, std::int64_t rows) {
    db.exec("CREATE TABLE \"SCOTT.BIG\" (\"ID\" INTEGER NOT NULL, \"LABEL\" VARCHAR2(40),"
            " \"AMOUNT\" NUMBER(12,2), \"NOTE\" VARCHAR2(200), \"CREATED\" DATE,"
            " PRIMARY KEY (\"ID\"))");
    Sequence sequence;
    auto insert = db.prepare("INSERT INTO \"SCOTT.BIG\" VALUES (?1, ?2, ?3, ?4, ?5)");
    std::string label;
    std::string note;
    for (std::int64_t id = 1; id <= rows; ++id) {
        label = "item " + std::to_string(id);
        insert.bindInteger(1, id);
        insert.bindText(2, label);
        insert.bindReal(3, sequence.below(10'000'000) / 100.0);
        if (id % 7 == 0) {
            insert.bindNull(4);
        } else {
            note = "batch " + std::to_string(id / 1000) + ", checked by clerk " +
                   std::to_string(sequence.below(90) + 10);
            insert.bindText(4, note);
        }
        insert.bindText(5, "2024-01-01");
        insert.step();
        insert.reset();
    }
}

} // namespace standin
