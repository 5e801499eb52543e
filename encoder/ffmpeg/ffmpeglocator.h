#pragma once

#include <QString>

namespace encoder {

// FFmpeg shipped next to the encoder wins over the one on PATH. Empty when neither exists.
// Needs a QCoreApplication.
QString locateFfmpeg();

} // namespace encoder
