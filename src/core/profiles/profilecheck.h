#pragma once

#include "core/profiles/profiledata.h"

#include <optional>

namespace profiles {

inline const QString ProfileProblemCaption = QStringLiteral("Incorrect Profile");

// Why the profile cannot be loaded or used for a run, naming the file and the parameter; nothing
// when it can. The caller shows the text in a message box titled ProfileProblemCaption.
std::optional<QString> ProfileProblem(const ProfileData &profile, const QString &profilePath);

// The check Start makes before anything runs. A file that does not exist is no problem: the run
// then goes ahead with an empty parameter string.
std::optional<QString> ProfileFileProblem(const QString &profilePath);

} // namespace profiles
