# Writes a C++ source that holds a text file as a string, at build time:
#   cmake -DINPUT=file -DOUTPUT=file.cpp -DFUNCTION=Name -P EmbedText.cmake
# The source defines std::string_view stelvo::Name() returning the file's bytes.
file(READ "${INPUT}" text)
string(FIND "${text}" ")stelvo_text\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains the raw-string delimiter )stelvo_text\"")
endif()
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
  "// Generated from src/data/${name} by cmake/EmbedText.cmake at build time; do not edit.\n"
  "#include <string_view>\n\nnamespace stelvo {\n\n"
  "std::string_view ${FUNCTION}() {\n"
  "  static constexpr char kText[] = R\"stelvo_text(${text})stelvo_text\";\n"
  "  return {kText, sizeof kText - 1};\n}\n\n}  // namespace stelvo\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
