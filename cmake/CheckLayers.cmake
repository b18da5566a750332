# Checks that every folder of src/ includes only folders of lower layers, so that the dependency
# graph of the folders has no cycle and nothing points upwards.
#   cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
# A folder missing from the list below fails the check: a new folder must be given its layer.

set(KORVANE_LAYERS
  "base=0"
  "form=1"
  "calc=2" "db=2" "drawing=2" "handbook=2"
  "pages=3" "capacity=3"
  "voltage_loss=4" "short_circuit=4" "reference_tables=4"
  "verification=5"
  "circuit=6" "reports=6"
  "project=7"
  "project_files=8" "project_book=8" "diagram=8"
  "app=9" "render=9"
  "cli=10" "gui=10")

foreach(entry IN LISTS KORVANE_LAYERS)
  string(REPLACE "=" ";" pair "${entry}")
  list(GET pair 0 folder)
  list(GET pair 1 layer)
  set(layer_of_${folder} ${layer})
endforeach()

set(failures "")
file(GLOB folders LIST_DIRECTORIES true RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
foreach(folder IN LISTS folders)
  if(NOT IS_DIRECTORY "${SOURCE_DIR}/${folder}")
    continue()
  endif()
  if(NOT DEFINED layer_of_${folder})
    string(APPEND failures "  src/${folder} has no layer\n")
    continue()
  endif()
  # A folder's subfolders (src/project/checks) are of its layer.
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^#include \"[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" target "${line}")
      if(target STREQUAL folder)
        continue()
      endif()
      file(RELATIVE_PATH shown "${SOURCE_DIR}/.." "${source}")
      if(NOT DEFINED layer_of_${target})
        string(APPEND failures "  ${shown} includes ${target}/, which has no layer\n")
      elseif(NOT layer_of_${target} LESS layer_of_${folder})
        string(APPEND failures
          "  ${shown} (layer ${layer_of_${folder}}) includes ${target}/ (layer ${layer_of_${target}})\n")
      endif()
    endforeach()
  endforeach()
endforeach()

# The pure calculations know no form, no page and no message box: they use the base layer (the
# regional number formatter among it) and no control, page design, handler, field table or dialog.
set(KORVANE_CALCULATIONS
  "calc/*" "drawing/drawing.*" "handbook/*" "circuit/*" "capacity/current_capacity.*"
  "voltage_loss/voltage_loss.*" "short_circuit/short_circuit.*" "verification/verification.*"
  "project/project.h" "project/project_compute.*" "project/sizing.*" "project/feeders/*"
  "project/result_schema.*" "project/handbook_constants.*"
  "project/checks/*")
foreach(pattern IN LISTS KORVANE_CALCULATIONS)
  file(GLOB calculations "${SOURCE_DIR}/${pattern}")
  foreach(source IN LISTS calculations)
    file(RELATIVE_PATH shown "${SOURCE_DIR}/.." "${source}")
    file(STRINGS "${source}" includes REGEX "^#include \"[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([a-z_/]+\\.h)\".*" "\\1" header "${line}")
      if((header MATCHES "^form/" AND NOT header STREQUAL "base/number_format.h")
         OR header MATCHES "^(pages|reference_tables|app|gui|cli)/"
         OR header MATCHES "_(page|action|fields|dialog)\\.h$")
        string(APPEND failures "  ${shown} is a calculation and includes ${header}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "Includes against the layers:\n${failures}")
endif()
message(STATUS "Every folder includes only lower layers; the calculations include no form")
