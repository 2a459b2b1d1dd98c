# Turns data/body_names.txt (one name per line, line 1 = body 0) into the
# body table's source. Run in script mode: cmake -DINPUT=... -DOUTPUT=... -P
# The file names bodies 0 to 1809; body 1810 is the empty slot after them.

set(expected_lines 1810)

file(READ "${INPUT}" content)
string(REPLACE "\r" "" content "${content}")
if(NOT content MATCHES "\n$")
  string(APPEND content "\n")
endif()
string(REGEX MATCHALL "\n" line_ends "${content}")
list(LENGTH line_ends line_count)
if(NOT line_count EQUAL expected_lines)
  message(FATAL_ERROR "${INPUT}: ${line_count} lines, expected ${expected_lines} (bodies 0 to 1809)")
endif()

# Escape for a C++ string literal, then make each line one element.
string(REPLACE "\\" "\\\\" content "${content}")
string(REPLACE "\"" "\\\"" content "${content}")
string(REGEX REPLACE "\n$" "" content "${content}")
string(REPLACE "\n" "\",\n    \"" content "${content}")

file(WRITE "${OUTPUT}.tmp"
"// Generated from data/body_names.txt by cmake/generate_body_table.cmake.\n"
"#include \"report/name_tables.h\"\n"
"\n"
"namespace tolvex {\n"
"\n"
"const std::array<const char*, body_slot_count> body_names = {\n"
"    \"${content}\",\n"
"    nullptr,\n"
"};\n"
"\n"
"}  // namespace tolvex\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
