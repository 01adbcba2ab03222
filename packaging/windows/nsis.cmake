# Fills in the installer script; the size "Apps & features" shows is that of the staged files.
file(GLOB_RECURSE files LIST_DIRECTORIES false ${SKYWALTZ_STAGE}/*)
set(bytes 0)
foreach(f IN LISTS files)
  file(SIZE ${f} size)
  math(EXPR bytes "${bytes} + ${size}")
endforeach()
math(EXPR SKYWALTZ_SIZE_KB "(${bytes} + 1023) / 1024")
configure_file(${INPUT} ${OUTPUT} @ONLY)
