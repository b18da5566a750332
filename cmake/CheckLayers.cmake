# Checks that every folder of src/ includes only folders of lower layers, so that the dependency
# graph of the folders has no cycle and nothing points upwards.
#   cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
# A folder missing from the list below fails the check: a new folder must be given its layer.

set(KORVANE_LAYERS
  "form=0"
  "calc=1" "db=1" "drawing=1" "handbook=1"
  "pages=2" "capacity=2"
  "voltage_loss=3" "short_circuit=3" "reference_tables=3"
  "verification=4"
  "circuit=5" "reports=5"
  "project=6"
  "project_files=7" "project_book=7" "diagram=7"
  "app=8" "render=8"
  "cli=9" "gui=9")

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
  file(GLOB sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
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

# The pure calculations know no form, no page and no message box: of the form model they use the
# regional number formatter only, and no page's design, handler, field table or dialog.
set(KORVANE_CALCULATIONS
  "calc/*" "drawing/drawing.*" "handbook/*" "circuit/*" "capacity/current_capacity.*"
  "voltage_loss/voltage_loss.*" "short_circuit/short_circuit.*" "verification/verification.*"
  "project/project.h" "project/project_compute.*" "project/lamp_feeder.*" "project/sizing.*"
  "project/pole_list.h" "project/phase_balancing.*"
  "project/result_schema.*" "project/feeder_plot.*" "project/handbook_constants.*")
foreach(pattern IN LISTS KORVANE_CALCULATIONS)
  file(GLOB calculations "${SOURCE_DIR}/${pattern}")
  foreach(source IN LISTS calculations)
    file(RELATIVE_PATH shown "${SOURCE_DIR}/.." "${source}")
    file(STRINGS "${source}" includes REGEX "^#include \"[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([a-z_/]+\\.h)\".*" "\\1" header "${line}")
      if((header MATCHES "^form/" AND NOT header STREQUAL "form/number_format.h")
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
