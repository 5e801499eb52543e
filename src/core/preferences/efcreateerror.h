#pragma once

#include "core/platform/usererror.h"

namespace preferences {

// A file that could not be created or replaced.
class EFCreateError : public platform::UserError {
public:
    using UserError::UserError;
};

} // namespace preferences
