#pragma once

// The encoder program's exit statuses, shared by the encoder and whoever reads them.
namespace protocol {

inline constexpr int EncoderSucceeded = 0;
// The output is kept and in place, but clearly shorter than the input should have given (a
// damaged or cut-off input that FFmpeg converted up to the damage). Failures never use it.
inline constexpr int EncoderIncomplete = 3;

} // namespace protocol
