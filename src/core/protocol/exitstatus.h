#pragma once

// The encoder program's exit statuses, shared by the encoder and whoever reads them.
namespace protocol {

inline constexpr int EncoderSucceeded = 0;
// The output is kept and in place, but clearly shorter than the input should have given (a
// damaged or cut-off input that FFmpeg converted up to the damage). Failures never use it.
inline constexpr int EncoderIncomplete = 3;
// Nothing was written: the output's name is being converted by another run, or, under "-n", an
// output appeared there meanwhile. A run that renames takes the next name and tries again.
inline constexpr int EncoderOutputTaken = 5;

} // namespace protocol
