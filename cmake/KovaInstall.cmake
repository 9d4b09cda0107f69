# Installation: the programs and their data files side by side in one folder
# (the programs find their data beside themselves), links to the programs in
# bin/, a desktop entry and a shared-MIME-info type for record files, so a
# double click on a ".test" file opens it in kova-gui.
include(GNUInstallDirs)
set(KOVA_INSTALL_DIR "${CMAKE_INSTALL_LIBDIR}/kova" CACHE STRING
    "Folder (below the prefix) of the programs and their data files")

# The report generator goes beside kova and kova-gui: the automatic export
# runs it from the programs' own folder.
install(TARGETS kova kova-gui kova-sim hmReportExport RUNTIME DESTINATION ${KOVA_INSTALL_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${KOVA_INSTALL_DIR}
        PATTERN CMakeLists.txt EXCLUDE)
foreach(program kova kova-gui kova-sim)
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"\${CMAKE_INSTALL_PREFIX}/${KOVA_INSTALL_DIR}/${program}\"
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" SYMBOLIC)")
endforeach()

set(KOVA_GUI_PATH "${CMAKE_INSTALL_FULL_BINDIR}/kova-gui")
configure_file(${PROJECT_SOURCE_DIR}/packaging/kova-gui.desktop.in
               ${CMAKE_BINARY_DIR}/packaging/kova-gui.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/kova-gui.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kova-test.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
# Refresh the system's caches when installing for real (not into a staging
# folder); a machine without the tools just skips this.
install(CODE "
  if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
    find_program(update_mime update-mime-database)
    find_program(update_desktop update-desktop-database)
    if(update_mime)
      execute_process(COMMAND \${update_mime} \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/mime\")
    endif()
    if(update_desktop)
      execute_process(COMMAND \${update_desktop} \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
    endif()
  endif()")
