# Runs SQL_FILES (a ;-list) in order through SQLITE3 into OUTPUT.
get_filename_component(dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
file(REMOVE "${OUTPUT}")
foreach(sql IN LISTS SQL_FILES)
  execute_process(COMMAND "${SQLITE3}" -bail "${OUTPUT}"
                  INPUT_FILE "${sql}"
                  RESULT_VARIABLE status
                  ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    file(REMOVE "${OUTPUT}")
    message(FATAL_ERROR "sqlite3 failed on ${sql}: ${errors}")
  endif()
endforeach()
