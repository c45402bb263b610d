// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/KeptRows.h"

namespace runs::console {

QString KeptRows::push(QString row, bool wrapped) {
    if (m_rows.size() < m_capacity) {
        m_rows.append(std::move(row));
        m_wrapped.append(wrapped);
        return {};
    }
    std::swap(m_rows[m_oldest], row);
    m_wrapped[m_oldest] = wrapped;
    m_oldest = (m_oldest + 1) % m_capacity;
    // Emptied, the storage stays for what is written in it next.
    row.resize(0);
    return row;
}

void KeptRows::clear() {
    m_rows.clear();
    m_wrapped.clear();
    m_oldest = 0;
}

} // namespace runs::console
