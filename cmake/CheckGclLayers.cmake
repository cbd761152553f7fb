# Fails when a unit of the class library includes a unit above it.
#
# Run as: cmake -DGCL_DIR=<src/gcl> -P CheckGclLayers.cmake  (a ctest entry
# of the native build, so scripts/test runs it).
#
# The window part of the GCL is built in this order, lowest first. A unit
# (its .h and its .cpp) may include units before it, never one after it;
# a lower unit reaches a higher one through an interface the higher unit
# installs (Controls.h: IApplicationHost, IScreenHost, IFormHost) or by
# TControl members defined in the higher unit's source. A new unit gets
# its place here, or the check fails.
set(GCL_UNIT_ORDER
  Messages ComObj Graphics Printers ShellNotify ImgList Controls MessageHooks Timers ActnList Dialogs Forms
  DragDrop Menus StdCtrls Buttons ExtCtrls CheckLst ComCtrls OleCtrls AppEvnts)

if(NOT GCL_DIR)
  message(FATAL_ERROR "GCL_DIR is not set")
endif()

set(failures "")
file(GLOB sources RELATIVE "${GCL_DIR}" "${GCL_DIR}/*.h" "${GCL_DIR}/*.cpp")
foreach(file ${sources})
  get_filename_component(unit "${file}" NAME_WE)
  list(FIND GCL_UNIT_ORDER "${unit}" rank)
  if(rank EQUAL -1)
    string(APPEND failures "  ${file}: unit ${unit} has no place in the unit order\n")
    continue()
  endif()
  file(STRINGS "${GCL_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]gcl/[A-Za-z0-9_]+\\.h[\">]")
  foreach(line ${includes})
    string(REGEX REPLACE ".*gcl/([A-Za-z0-9_]+)\\.h.*" "\\1" included "${line}")
    list(FIND GCL_UNIT_ORDER "${included}" includedRank)
    if(includedRank EQUAL -1)
      string(APPEND failures "  ${file}: includes gcl/${included}.h, which has no place in the unit order\n")
    elseif(includedRank GREATER rank)
      string(APPEND failures "  ${file}: unit ${unit} includes the higher unit ${included}\n")
    endif()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "GCL layering broken (lower units must not include higher ones):\n${failures}")
endif()
list(LENGTH sources count)
message(STATUS "GCL layering holds: ${count} files, each unit includes only lower units")
