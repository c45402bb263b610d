// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NlsEncoding.h"

#include "platform/CharacterSets.h"

#include <string>

namespace platform {

QByteArray nlsEncodingName(const QByteArray& nlsLang) {
    const CharacterSet* set =
        characterSetOfNlsLang(std::string_view(nlsLang.constData(), size_t(nlsLang.size())));
    if (set == nullptr)
        return {};
    const std::string name(set->encoding);
    if (!QStringDecoder(name.c_str()).isValid())
        return {};
    return QByteArray::fromStdString(name);
}

QStringDecoder nlsDecoder(const QByteArray& nlsLang) {
    const QByteArray name = nlsEncodingName(nlsLang);
    return name.isEmpty() ? QStringDecoder(QStringConverter::System)
                          : QStringDecoder(name.constData());
}

QStringEncoder nlsEncoder(const QByteArray& nlsLang) {
    const QByteArray name = nlsEncodingName(nlsLang);
    return name.isEmpty() ? QStringEncoder(QStringConverter::System)
                          : QStringEncoder(name.constData());
}

} // namespace platform
