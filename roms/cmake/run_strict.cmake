# Runs one assembler or linker command (the list CMD) and fails when it prints a warning, so that
# our cartridges stay warning-free. Used as: cmake -DCMD="a;b;c" -P run_strict.cmake
execute_process(COMMAND ${CMD} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(out OR err)
  message("${out}${err}")
endif()
if(NOT result EQUAL 0)
  message(FATAL_ERROR "failed: ${CMD}")
endif()
if("${out}${err}" MATCHES "[Ww]arning")
  message(FATAL_ERROR "warnings are not accepted in our cartridges")
endif()
