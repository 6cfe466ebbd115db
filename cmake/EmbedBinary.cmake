# Writes the bytes of INPUT as the C++ array NAME, and their count as NAME_SIZE,
# into OUTPUT.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
if(size EQUAL 0)
    message(FATAL_ERROR "${INPUT} is empty; a C++ array cannot be")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x[0-9a-f][0-9a-f]," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUTPUT}
    "// Generated from ${INPUT}; do not edit.\n"
    "#include <cstddef>\n\n"
    "extern const unsigned char ${NAME}[];\n"
    "extern const std::size_t ${NAME}_SIZE;\n"
    "const unsigned char ${NAME}[] = {\n    ${bytes}\n};\n"
    "const std::size_t ${NAME}_SIZE = ${size};\n")
