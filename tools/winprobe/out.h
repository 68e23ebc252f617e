// Records the probe prints: one line per record, either tab-separated
// key=value fields after the record's kind (easy to cut in a shell script) or
// one JSON object per line (easy to load in Python).
#pragma once

#include <cstdio>

enum OutFormat { kOutPlain, kOutJson };

void OutSetFormat(OutFormat format);
void OutSetFile(FILE* file);

void OutBegin(const char* kind);
void OutStr(const char* key, const char* value);
void OutInt(const char* key, long long value);
void OutHex(const char* key, unsigned long long value);
// Plain: "x,y,w,h"; JSON: [x, y, w, h].
void OutRect(const char* key, int x, int y, int w, int h);
void OutEnd();
