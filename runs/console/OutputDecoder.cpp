// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/OutputDecoder.h"

namespace runs::console {

void OutputDecoder::start(const QByteArray& nlsLang) {
    m_encoding = lines::TextEncoding::ofNlsLang(nlsLang);
    m_left.clear();
}

QStringView OutputDecoder::decode(QByteArrayView bytes) {
    // The buffers keep their room from read to read, so a flood allocates nothing.
    QByteArrayView input = bytes;
    if (!m_left.isEmpty()) {
        m_joined.resize(0);
        m_joined.append(m_left);
        m_joined.append(bytes);
        input = m_joined;
    }
    m_text.resize(0);
    const qsizetype whole = m_encoding.appendWhole(input, m_text);
    m_left = input.sliced(whole).toByteArray();
    return m_text;
}

QString OutputDecoder::finish() {
    return m_encoding.decode(std::exchange(m_left, {}));
}

} // namespace runs::console
