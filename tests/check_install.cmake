# Installs the build into a scratch prefix and checks the system layout: the
# programs in the bin folder, the data they read in share/kova with a link
# to the report generator there, the desktop files; then the installed kova
# itself must name share/kova as its InstallDir.
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
set(missing "")
foreach(file bin/kova bin/kova-gui bin/kova-sim bin/hmReportExport
             share/kova/kovatest.xsd share/kova/kovasections.xsd share/kova/kovareport.mrt
             share/kova/progress.gif share/kova/report_logo.bmp share/kova/TestColor1.bmp
             share/kova/TestColor20.bmp share/applications/com.helmark.kova.desktop
             share/metainfo/com.helmark.kova.metainfo.xml share/mime/packages/com.helmark.kova.xml
             share/icons/hicolor/48x48/apps/com.helmark.kova.png
             share/icons/hicolor/scalable/apps/com.helmark.kova.svg
             share/bash-completion/completions/kova share/doc/kova/copyright
             share/doc/kova/changelog.gz share/doc/kova-gui/changelog.gz
             lib/systemd/system/kova-serve.service share/doc/kova/examples/kova-serve.env)
  if(NOT EXISTS ${PREFIX}/${file} OR IS_SYMLINK ${PREFIX}/${file})
    list(APPEND missing ${file})
  endif()
endforeach()
# The automatic export runs InstallDir's generator: the link must reach the
# installed one, wherever the tree lies.
file(READ_SYMLINK ${PREFIX}/share/kova/hmReportExport target)
if(NOT target STREQUAL "../../bin/hmReportExport")
  list(APPEND missing "share/kova/hmReportExport (a link to ../../bin/hmReportExport, not \"${target}\")")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env KOVA_SETTINGS=${PREFIX}/settings.ini
                        QT_QPA_PLATFORM=offscreen ${PREFIX}/bin/kova settings show
                OUTPUT_VARIABLE shown RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT shown MATCHES "InstallDir = ${PREFIX}/share/kova/ ")
  list(APPEND missing "InstallDir of the installed kova is ${PREFIX}/share/kova/:\n${shown}")
endif()
file(REMOVE_RECURSE ${PREFIX})
if(missing)
  list(JOIN missing "\n" missing_text)
  message(FATAL_ERROR "Not installed:\n${missing_text}")
endif()
