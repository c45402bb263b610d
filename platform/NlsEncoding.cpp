// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NlsEncoding.h"

#include "platform/CharacterSets.h"

#include <string>

namespace platform {

namespace {

std::string encodingName(const QByteArray& nlsLang) {
    const CharacterSet* set = characterSetOfNlsLang(
        std::string_view(nlsLang.constData(), static_cast<std::size_t>(nlsLang.size())));
    return set ? std::string(set->encoding) : std::string();
}

template <typename Converter> Converter converterFor(const QByteArray& nlsLang) {
    const std::string name = encodingName(nlsLang);
    if (!name.empty()) {
        Converter converter(name.c_str());
        if (converter.isValid())
            return converter;
    }
    return Converter(QStringConverter::System);
}

} // namespace

QStringDecoder nlsDecoder(const QByteArray& nlsLang) {
    return converterFor<QStringDecoder>(nlsLang);
}

QStringEncoder nlsEncoder(const QByteArray& nlsLang) {
    return converterFor<QStringEncoder>(nlsLang);
}

} // namespace platform
