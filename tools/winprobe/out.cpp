#include "out.h"

namespace {

OutFormat gFormat = kOutPlain;
FILE* gFile = stdout;
bool gFirstField = true;

// Plain fields are split on tabs and records on line ends, so those (and the
// backslash that escapes them) must not appear raw in a value.
void PutPlain(const char* s) {
  for (; *s != '\0'; ++s) {
    switch (*s) {
      case '\t':
        fputs("\\t", gFile);
        break;
      case '\n':
        fputs("\\n", gFile);
        break;
      case '\r':
        fputs("\\r", gFile);
        break;
      case '\\':
        fputs("\\\\", gFile);
        break;
      default:
        fputc(*s, gFile);
    }
  }
}

// Texts are 8-bit ANSI; bytes above 127 are passed as \u00XX (Latin-1 view),
// which keeps the line valid JSON whatever the code page.
void PutJsonString(const char* s) {
  fputc('"', gFile);
  for (; *s != '\0'; ++s) {
    unsigned char c = static_cast<unsigned char>(*s);
    if (c == '"' || c == '\\') {
      fputc('\\', gFile);
      fputc(c, gFile);
    } else if (c < 0x20 || c > 0x7e) {
      fprintf(gFile, "\\u%04x", c);
    } else {
      fputc(c, gFile);
    }
  }
  fputc('"', gFile);
}

void PutKey(const char* key) {
  if (gFormat == kOutPlain) {
    fprintf(gFile, "\t%s=", key);
  } else {
    fputs(gFirstField ? "" : ",", gFile);
    PutJsonString(key);
    fputc(':', gFile);
  }
  gFirstField = false;
}

}  // namespace

void OutSetFormat(OutFormat format) {
  gFormat = format;
}

void OutSetFile(FILE* file) {
  gFile = file;
}

void OutBegin(const char* kind) {
  if (gFormat == kOutPlain) {
    PutPlain(kind);
    gFirstField = false;
  } else {
    fputc('{', gFile);
    gFirstField = true;
    OutStr("kind", kind);
  }
}

void OutStr(const char* key, const char* value) {
  PutKey(key);
  if (gFormat == kOutPlain) {
    PutPlain(value);
  } else {
    PutJsonString(value);
  }
}

void OutInt(const char* key, long long value) {
  PutKey(key);
  fprintf(gFile, "%lld", value);
}

void OutHex(const char* key, unsigned long long value) {
  char text[24];
  snprintf(text, sizeof text, "0x%llx", value);
  OutStr(key, text);
}

void OutRect(const char* key, int x, int y, int w, int h) {
  PutKey(key);
  fprintf(gFile, gFormat == kOutPlain ? "%d,%d,%d,%d" : "[%d,%d,%d,%d]", x, y, w, h);
}

void OutEnd() {
  fputs(gFormat == kOutPlain ? "\n" : "}\n", gFile);
  fflush(gFile);
}
