// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

namespace platform {

// Opens local files in the system's default browser. A file the system cannot open is left
// alone without a word: there is nothing the operator could do about it here.
class Browser {
public:
    using Opener = std::function<void(const QString& path)>;

    static void openFile(const QString& path);

    // While an opener is set, it receives the path instead and no browser starts.
    static void setOpener(Opener opener);

private:
    static Opener s_opener;
};

} // namespace platform
