# Fails when a source file differs from what clang-format makes of it with
# the project's .clang-format, and names the lines.
# Run as: cmake -DROOT=<source tree> -DCLANG_FORMAT=<program> -P CheckFormat.cmake
file(GLOB_RECURSE sources
  ${ROOT}/src/*.cpp ${ROOT}/src/*.h
  ${ROOT}/tests/*.cpp ${ROOT}/tests/*.h
  ${ROOT}/bench/*.cpp ${ROOT}/bench/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${sources}
  RESULT_VARIABLE status ERROR_VARIABLE complaints)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "Not formatted as .clang-format says (run clang-format -i on them):\n${complaints}")
endif()
