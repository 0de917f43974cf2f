# Writes a header that holds a file's bytes as a char array, so that a file
# kept as itself in the repository (the report's page) is built into the
# program. Run as: cmake -DINPUT=file -DOUTPUT=header -DNAME=identifier -P embed_file.cmake
file(READ "${INPUT}" hex HEX)
get_filename_component(source "${INPUT}" NAME)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
# A line break after every 16 bytes keeps the generated file readable.
string(REGEX REPLACE "(('[^']*',){16})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.new"
  "// Generated from ${source} at build time; do not edit.\n"
  "#pragma once\n#include <string_view>\n"
  "inline constexpr char ${NAME}Bytes[] = {\n${bytes}'\\0'};\n"
  "inline constexpr std::string_view ${NAME}{${NAME}Bytes, ${size}};\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
