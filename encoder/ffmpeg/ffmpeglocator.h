#pragma once

#include <QString>

// FFmpeg shipped next to the encoder wins over the one on PATH. Empty when neither exists.
// Needs a QCoreApplication.
QString locateFfmpeg();
