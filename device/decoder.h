// Turns the counter's bytes into pulses in `app.minuteCount`.
#pragma once

#include <cstdint>

// Decodes one byte of the counter's stream: counts its pulses, moves the
// decoder between `Undecided`, `PerByte` and `TwoByte`, and notes the live
// text the byte calls for (shown by ShowDecoderText).
void DecodeCounterByte(uint8_t b);
// Shows in status bar field 1 the live text of the last byte decoded since
// the previous call, if any. The drain calls it once at its end instead of
// once per byte; a writer of field 1 in the middle of a drain calls it
// before writing, so the order of the texts shown stays that of the bytes.
void ShowDecoderText();
