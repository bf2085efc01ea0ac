# Turns an app-defaults file into the program's fallback resource list:
# one C string per resource line, comments and blank lines left out.
file(STRINGS "${INPUT}" lines ENCODING UTF-8)
set(body "")
foreach(line IN LISTS lines)
  if(line STREQUAL "" OR line MATCHES "^!")
    continue()
  endif()
  string(REPLACE "\\" "\\\\" line "${line}")
  string(REPLACE "\"" "\\\"" line "${line}")
  string(REPLACE "\t" "\\t" line "${line}")
  string(APPEND body "    \"${line}\",\n")
endforeach()
file(WRITE "${OUTPUT}.tmp"
  "// Generated from shell/Vexilo.ad by the build.\n"
  "#include \"shell/Resources.h\"\n\n"
  "String fallbackResources[] = {\n${body}    nullptr,\n};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
