#include "device/decoder.h"

#include <string>

#include "app/app_state.h"
#include "device/serial_connection.h"
#include "ui/main_window.h"

namespace {

constexpr uint8_t kCarriageReturn = 0x0D;
constexpr uint8_t kLetterA = 0x41;
constexpr uint8_t kLetterO = 0x4F;
constexpr uint8_t kMarker = 0x80;
constexpr uint8_t kMarkerAlternate = 0xC0;

// Which of the live texts a byte asked for.
enum TextForm {
  kNoText,
  kBrokenSample,  // marker then a byte of 0x80 or above
  kSample,        // marker then a value byte
  kMarkerText,    // a marker that opens a sample
  kPulseByte,     // a byte counted on its own
};

// The live text is built from these at the end of a drain: the star gauge
// grows with the count, so building it for every byte would cost the square
// of the minute's count. Only the last byte's text can ever be seen.
struct PendingText {
  TextForm form = kNoText;
  uint8_t byte = 0;
  int32_t count = 0;
};

PendingText pending;

bool IsMarker(uint8_t b) {
  return b == kMarker || b == kMarkerAlternate;
}

void NoteText(TextForm form, uint8_t b) {
  pending.form = form;
  pending.byte = b;
  pending.count = app.minuteCount;
}

void AppendHex(std::string* textOut, uint8_t b) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  textOut->push_back(kDigits[b >> 4]);
  textOut->push_back(kDigits[b & 0x0F]);
}

std::string BuildText() {
  std::string text;
  if (pending.count > 0) {
    text.reserve(static_cast<size_t>(pending.count) + 20);
    text.assign(static_cast<size_t>(pending.count) - 1, ' ');
    text.push_back('*');
  }
  switch (pending.form) {
    case kBrokenSample:
      text += " 0x";
      AppendHex(&text, pending.byte);
      text += "CPM=";
      break;
    case kSample:
      text += " 0x80";
      AppendHex(&text, pending.byte);
      text += " CPM=";
      break;
    case kMarkerText:
      text += " 0x80 CPM=";
      break;
    case kPulseByte:
      text += " 0x";
      AppendHex(&text, pending.byte);
      text += " CPM=";
      break;
    case kNoText:
      break;
  }
  text += std::to_string(pending.count);
  return text;
}

}  // namespace

void DecodeCounterByte(uint8_t b) {
  const bool sampleOpen =
      IsMarker(app.pendingMarker) && (app.decoderState == TwoByte || app.decoderState == Undecided);

  if ((b == kCarriageReturn || b == kLetterA || b == kLetterO) && app.decoderState == Undecided) {
    app.decoderState = PerByte;
    CheckModemReply();
  } else if (sampleOpen && b >= 0x80) {
    app.pendingMarker = 0;
    app.minuteCount += 2;
    app.decoderState = PerByte;
    NoteText(kBrokenSample, b);
  } else if (sampleOpen) {
    app.pendingMarker = 0;
    if (app.minuteCount == 0) app.decoderState = TwoByte;
    app.minuteCount += b;
    NoteText(kSample, b);
  } else if (IsMarker(b) && (app.decoderState == TwoByte ||
                             (app.decoderState == Undecided && app.minuteCount == 0))) {
    app.pendingMarker = b;
    NoteText(kMarkerText, b);
  } else {
    app.minuteCount += (b >= 0x01 && b <= 0x7F) ? 2 : 1;
    app.decoderState = PerByte;
    NoteText(kPulseByte, b);
  }
}

void ShowDecoderText() {
  if (pending.form == kNoText) return;
  SetStatusBarText(1, BuildText());
  pending.form = kNoText;
}
