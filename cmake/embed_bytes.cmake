# Writes a C++ source that holds the bytes of a file, so that a program
# carries the file with it.
#   cmake -DINPUT=FILE -DOUTPUT=SOURCE -DNAMESPACE=NS -DFUNCTION=NAME -DHEADER=H -P embed_bytes.cmake
# The source defines `std::string_view NS::NAME()` declared in header H.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Sixteen bytes a line keeps the source readable by tools.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT} by embed_bytes.cmake; do not edit.\n"
  "#include \"${HEADER}\"\n\n"
  "namespace ${NAMESPACE} {\n\n"
  "namespace {\n"
  "const unsigned char kBytes[${size} + 1] = {\n${bytes}0};\n"
  "}  // namespace\n\n"
  "std::string_view ${FUNCTION}() {\n"
  "    return std::string_view(reinterpret_cast<const char*>(kBytes), ${size});\n"
  "}\n\n"
  "}  // namespace ${NAMESPACE}\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
