# Checks the folder stack: every program file includes only folders below
# its own (or its own folder), and only platform/ and tools/ include Qt or
# the host system's own headers (POSIX, X11).
#   cmake -DSOURCE_DIR=<repository> -P layering.cmake
# Fails naming the file and line of every include that breaks the order.

# Bottom to top. The effects are ordered too: the slides draw the plasma,
# the kaleidoscope folds the slides, the titles know the kaleidoscope's tile.
set(stack platform base graphics plasma slides kaleidoscope text preset resources shell setup tools)

set(faults "")
foreach(folder IN LISTS stack)
  list(FIND stack ${folder} rank)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
    file(STRINGS "${source}" lines)
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/")
        set(target ${CMAKE_MATCH_1})
        list(FIND stack ${target} target_rank)
        if(target_rank GREATER rank)
          string(APPEND faults "${shown}:${number}: ${folder}/ includes ${target}/, which is above it\n")
        endif()
      elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<(unistd|dirent|fcntl|pwd|signal|spawn|poll|sys/[a-z_]+|X11/[A-Za-z_]+|xcb/[a-z_]+)\\.h>")
        if(NOT folder STREQUAL "platform" AND NOT folder STREQUAL "tools")
          string(APPEND faults "${shown}:${number}: the host system (POSIX, X11) is included outside platform/ and tools/\n")
        endif()
      elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<(Q[A-Za-z]*|qt[a-z]*)[/>]")
        if(NOT folder STREQUAL "platform" AND NOT folder STREQUAL "tools")
          string(APPEND faults "${shown}:${number}: Qt is included outside platform/ and tools/\n")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes that break the folder stack:\n${faults}")
endif()
message(STATUS "every include follows the folder stack")
