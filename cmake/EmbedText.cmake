# Writes INPUT as the C++ text RESOURCE_SCRIPT_TEXT into OUTPUT, every byte as a
# hexadecimal escape so that any text survives unchanged.
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" bytes "${hex}")
file(WRITE ${OUTPUT}
    "// Generated from ${INPUT}; do not edit.\n"
    "extern const char RESOURCE_SCRIPT_TEXT[];\n"
    "const char RESOURCE_SCRIPT_TEXT[] = \"${bytes}\";\n")
