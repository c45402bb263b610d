// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QString>

// The program's logo, a mountain tarn under a low sun. One drawing serves the main window and
// the desktop's icon.
QString logoResource();

// The logo centred on white, as large as fits the given size.
QPixmap drawLogo(int width, int height);
