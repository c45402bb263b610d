// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/database.h"

#include <cstdint>

namespace standin {

// The standard accounts of every seeded database: SYSTEM/manager (DBA), SCOTT/tiger, HR/hr.
void addStandardUsers(Database& db);

// SCOTT: DEPT, EMP (300 rows), SALGRADE, BADGE (blobs); HR: JOBS, LOCATIONS. An index on
// SCOTT.EMP(DEPTNO), a unique index on HR.JOBS(JOB_TITLE), SELECT on SCOTT.EMP and DEPT for HR.
void addDemoSchemas(Database& db);

// SCOTT.BIG with the given number of rows, for timing and for interrupting long exports.
void addBigTable(Database& db, std::int64_t rows);

} // namespace standin
