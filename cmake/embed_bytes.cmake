# Writes OUTPUT, a C++ file holding the INPUTS back to back as kIconFiles,
# with kIconFileSizes giving each file's length.
string(REPLACE "," ";" INPUTS "${INPUTS}")
set(bytes "")
set(sizes "")
foreach(input IN LISTS INPUTS)
  file(READ ${input} hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
  string(APPEND bytes "${hex}\n")
  string(APPEND sizes "${size},")
endforeach()
file(WRITE ${OUTPUT} "// Generated from the icon files in res/; do not edit.\n#include \"res/icon_data.h\"\n\nconst unsigned char kIconFiles[kIconFilesSize] = {\n${bytes}};\nconst unsigned kIconFileSizes[2] = {${sizes}};\n")
