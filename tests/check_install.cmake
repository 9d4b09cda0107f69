# Installs the build into a scratch prefix and checks that the programs, the
# report generator they run and the data files they read sit side by side,
# with links to the programs in the bin folder.
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
set(missing "")
foreach(file kova kova-gui kova-sim hmReportExport kovatest.xsd kovasections.xsd kovareport.mrt
             progress.gif report_logo.bmp TestColor1.bmp TestColor20.bmp)
  if(NOT EXISTS ${PREFIX}/${DIR}/${file})
    list(APPEND missing ${DIR}/${file})
  endif()
endforeach()
foreach(program kova kova-gui kova-sim)
  if(NOT IS_SYMLINK ${PREFIX}/${BINDIR}/${program})
    list(APPEND missing "${BINDIR}/${program} (a link)")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
if(missing)
  list(JOIN missing "\n" missing_text)
  message(FATAL_ERROR "Not installed:\n${missing_text}")
endif()
