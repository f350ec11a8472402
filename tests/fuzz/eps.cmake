# EPS: the parsing layers of the reader (binary header, bounding box,
# previews), without starting the PostScript interpreter
kv_add_fuzzer(readepsfiledibstream epsfuzzer.cpp eps)
