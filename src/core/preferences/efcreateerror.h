#pragma once

#include <usererror.h>

// A file that could not be created or replaced.
class EFCreateError : public platform::UserError {
public:
    using UserError::UserError;
};
