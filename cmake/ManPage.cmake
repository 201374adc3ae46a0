# Writes the host's manual page: cmake -DCLI=<paloran> -DOUT=<file> -P ManPage.cmake
execute_process(COMMAND "${CLI}" help --man OUTPUT_FILE "${OUT}.new" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE "${OUT}.new")
  message(FATAL_ERROR "${CLI} help --man failed: ${rc}")
endif()
file(RENAME "${OUT}.new" "${OUT}")
