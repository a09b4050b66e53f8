# Writes a file's text as a C++ raw string literal.
file(READ ${INPUT} text)
file(WRITE ${OUTPUT} "R\"json(${text})json\"\n")
