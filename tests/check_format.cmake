# Fails when a tracked C++ file differs from what clang-format makes of it.
find_program(CLANG_FORMAT NAMES clang-format-14 clang-format REQUIRED)
find_program(GIT git REQUIRED)
execute_process(COMMAND ${GIT} ls-files -- *.h *.cpp
                WORKING_DIRECTORY ${SOURCE_DIR} OUTPUT_VARIABLE files OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
if(files STREQUAL "")
  message(FATAL_ERROR "no tracked C++ files found in ${SOURCE_DIR}")
endif()
string(REPLACE "\n" ";" files "${files}")
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files}
                WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "these files need clang-format (see above)")
endif()
list(LENGTH files count)
message(STATUS "${count} files formatted")
