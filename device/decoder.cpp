// Placeholder definitions, replaced by the real ones.
#include "device/decoder.h"

void DecodeCounterByte(uint8_t b) {
  (void)b;
}

void ShowDecoderText() {
}
