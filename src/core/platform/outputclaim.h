#pragma once

#include <string>

namespace platform {

// An exclusive claim on an output's partial file, shared by every run on this machine: the
// conversion holding it keeps the file open and locked, so the claim dies with its process and a
// claim whose holder is gone is taken over. Two runs aiming at one name never write one file.
class OutputClaim {
public:
    enum class Outcome { Claimed, HeldElsewhere, Failed };

    OutputClaim() = default;
    OutputClaim(const OutputClaim &) = delete;
    OutputClaim &operator=(const OutputClaim &) = delete;
    OutputClaim(OutputClaim &&other) noexcept;
    OutputClaim &operator=(OutputClaim &&other) noexcept;
    // Lets the claim go; the file stays.
    ~OutputClaim();

    // Creates the file at path, or takes over one that nobody holds; error says why on Failed.
    Outcome claim(const std::string &path, std::string *error);
    bool isHeld() const { return m_descriptor >= 0; }
    // Moves the claimed file to target, but only while path still names the file this claim
    // created: what another program put there is neither moved nor counted as ours. Unless
    // replace, an existing target is left alone and the move fails. Moved, the claim is let go.
    bool moveInto(const std::string &target, bool replace, std::string *error);
    // Removes the claimed file if path still names it, and lets the claim go.
    void discard();

private:
    void release();

    int m_descriptor = -1;
    std::string m_path;
};

// Whether a live conversion, of this run or another, holds a claim on the file at path.
bool isClaimedElsewhere(const std::string &path);

// Removes the partial file at path that a killed conversion left, unless a live conversion holds
// it: after a kill it may already be another run's.
void removeUnlessClaimed(const std::string &path);

} // namespace platform
