#pragma once

namespace platform {

// How much of the processor the encoders take from everything else; stored as its number.
enum class ProcessPriority { Normal = 0, Low = 1, Idle = 2 };

} // namespace platform
