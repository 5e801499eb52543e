#pragma once

#include "core/conversion/batchplan.h"
#include "core/platform/childprocessapi.h"

#include <QString>

namespace conversion {

// What the encoder's exit and the file it left at output say of a conversion.
TaskStatus taskVerdict(platform::ProcessExit exit, const QString &output);

} // namespace conversion
