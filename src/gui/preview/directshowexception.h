#pragma once

#include "core/platform/usererror.h"

namespace preview {

// A failure of the media player.
class EDirectShowException : public platform::UserError {
public:
    using UserError::UserError;
};

} // namespace preview
