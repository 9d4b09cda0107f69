# Fails when the core or the desktop's instrument paths keep a user
# interface alive from inside their waits again: the core's waits block on
# the port with a time-out and watch a cancel token; the desktop runs them
# on a worker thread.
cmake_minimum_required(VERSION 3.20)
set(bad "")
foreach(folder device app plans gui/device)
  file(GLOB_RECURSE files ${SRC}/${folder}/*.h ${SRC}/${folder}/*.cpp)
  foreach(f IN LISTS files)
    file(STRINGS ${f} lines REGEX "(Pump[ \t]*\\(|processEvents[ \t]*\\()")
    if(lines)
      list(APPEND bad "${f}: ${lines}")
    endif()
  endforeach()
endforeach()
file(STRINGS ${SRC}/base/prompter.h lines REGEX "Pump[ \t]*\\(")
if(lines)
  list(APPEND bad "${SRC}/base/prompter.h: ${lines}")
endif()
if(bad)
  message(FATAL_ERROR "Event pumping in the core or the instrument paths:\n${bad}")
endif()
