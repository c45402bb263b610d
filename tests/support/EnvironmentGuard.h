// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>
#include <vector>

// Puts the named environment variables back as they were when the guard goes.
class EnvironmentGuard {
public:
    explicit EnvironmentGuard(const QStringList& names) {
        for (const QString& name : names) {
            const QByteArray key = name.toLocal8Bit();
            m_saved.push_back({key, qEnvironmentVariableIsSet(key.constData())
                                        ? std::optional(qgetenv(key.constData()))
                                        : std::nullopt});
        }
    }
    ~EnvironmentGuard() {
        for (const auto& [key, value] : m_saved) {
            if (value)
                qputenv(key.constData(), *value);
            else
                qunsetenv(key.constData());
        }
    }
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

private:
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> m_saved;
};
