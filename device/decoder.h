// Turns the counter's bytes into pulses in `app.minuteCount`.
#pragma once

#include <cstdint>

void DecodeCounterByte(uint8_t b);
// Shows the live text of the last byte decoded since the previous call, if
// any; the drain calls it once at its end instead of once per byte.
void ShowDecoderText();
