// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/KeptRows.h"

namespace runs::console {

QString KeptRows::push(QString row, bool wrapped, lines::LineClass line) {
    if (m_rows.size() < m_capacity) {
        m_rows.append(std::move(row));
        m_marks.append({wrapped, line});
        return {};
    }
    std::swap(m_rows[m_oldest], row);
    m_marks[m_oldest] = {wrapped, line};
    m_oldest = (m_oldest + 1) % m_capacity;
    // Emptied, the storage stays for what is written in it next.
    row.resize(0);
    return row;
}

void KeptRows::clear() {
    m_rows.clear();
    m_marks.clear();
    m_oldest = 0;
}

} // namespace runs::console
