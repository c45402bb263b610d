#pragma once

#include <QPixmap>

// The program's logo: a mountain tarn under a low sun, drawn at the given size.
QPixmap drawLogo(int width, int height);
