# Installation in the layout of a Linux system (and of the Debian packages
# made from it by CPack, cmake/KovaPackage.cmake):
#   bin/                 kova, kova-gui, kova-sim, hmReportExport
#   share/kova/          the installation data the programs read (InstallDir):
#                        template, schemas, pictures, swatches, logo, a sample
#                        record, and a link to the report generator, which the
#                        automatic export runs from there
#   share/applications, share/mime, share/icons, share/metainfo
#                        the desktop entry, the record and plan file types, the
#                        icon and the AppStream description of kova-gui
#   share/man/man1, share/bash-completion, share/doc/<package>
# The programs find share/kova from bin/ (app/install_data_folder.h) and
# write nothing there. Each file belongs to one package (COMPONENT).
include(GNUInstallDirs)
include(cmake/KovaChangelog.cmake)
set(KOVA_DATA_DIR "${CMAKE_INSTALL_DATADIR}/kova")
set(KOVA_DESKTOP_ID "com.helmark.kova")
set(KOVA_MAINTAINER "KOVA maintainers <maintainers@users.noreply.c-seed-b6b92765.example>"
    CACHE STRING "Maintainer named in the packages and their changelog")
# AppStream wants the screenshot as a web address: where docs/ is published.
set(KOVA_SCREENSHOT_BASE_URL "https://c-seed-b6b92765.example/kova/docs/" CACHE STRING
    "Web address of the project's docs/ folder (the AppStream screenshot is found there)")

install(TARGETS kova hmReportExport RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT kova)
install(TARGETS kova-gui RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT kova-gui)
install(TARGETS kova-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT kova-sim)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${KOVA_DATA_DIR} COMPONENT kova
        PATTERN CMakeLists.txt EXCLUDE)
# The report generator is InstallDir's "hmReportExport": a relative link, so
# the tree can be unpacked or staged anywhere.
file(RELATIVE_PATH generator_link "/${KOVA_DATA_DIR}" "/${CMAKE_INSTALL_BINDIR}/hmReportExport")
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${KOVA_DATA_DIR}\")
  file(CREATE_LINK \"${generator_link}\"
       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${KOVA_DATA_DIR}/hmReportExport\" SYMBOLIC)"
        COMPONENT kova)

# The desktop program: its entry, file types, icons and AppStream description.
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
set(KOVA_GUI_PATH "kova-gui")
configure_file(${PROJECT_SOURCE_DIR}/packaging/kova-gui.desktop.in
               ${packaging_out}/${KOVA_DESKTOP_ID}.desktop @ONLY)
install(FILES ${packaging_out}/${KOVA_DESKTOP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT kova-gui)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kova-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${KOVA_DESKTOP_ID}.xml
        COMPONENT kova-gui)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/${KOVA_DESKTOP_ID}-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${KOVA_DESKTOP_ID}.png COMPONENT kova-gui)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/${KOVA_DESKTOP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT kova-gui)

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
kova_read_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md kova "${KOVA_MAINTAINER}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/kova-gui.metainfo.xml.in
               ${packaging_out}/${KOVA_DESKTOP_ID}.metainfo.xml @ONLY)
install(FILES ${packaging_out}/${KOVA_DESKTOP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT kova-gui)

# Each package's documentation folder: the copyright file and the changelog
# (Debian's form, compressed as Debian wants: gzip -9n, no name or time).
# Written only when changed, so an unchanged changelog is not compressed again.
file(WRITE ${packaging_out}/changelog.new "${KOVA_DEBIAN_CHANGELOG}")
configure_file(${packaging_out}/changelog.new ${packaging_out}/changelog COPYONLY)
find_program(KOVA_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${packaging_out}/changelog.gz
                   COMMAND ${KOVA_GZIP} -9nc ${packaging_out}/changelog > ${packaging_out}/changelog.gz
                   DEPENDS ${packaging_out}/changelog)
set(packaging_outputs ${packaging_out}/changelog.gz)
foreach(package kova kova-gui kova-sim)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${packaging_out}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${package})
endforeach()
# kova serve as a system service, and the file it reads its library from.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kova-serve.service
        DESTINATION lib/systemd/system COMPONENT kova)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kova-serve.env
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kova/examples COMPONENT kova)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kova.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kova COMPONENT kova)

# Manual pages made from each program's own --help and --version by help2man
# (built programs run at build time, so not when cross-compiling). Without
# help2man the pages are left out; scripts/package.sh requires them.
find_program(KOVA_HELP2MAN help2man)
if(KOVA_HELP2MAN AND NOT CMAKE_CROSSCOMPILING)
  # kova's page lists every command with its arguments and options, from
  # each command's own help.
  add_custom_command(
    OUTPUT ${packaging_out}/man/kova-commands.h2m
    COMMAND ${CMAKE_COMMAND} -E make_directory ${packaging_out}/man
    COMMAND ${CMAKE_COMMAND} -E env KOVA_SETTINGS=${packaging_out}/man/settings.ini
            QT_QPA_PLATFORM=offscreen sh ${PROJECT_SOURCE_DIR}/packaging/man/kova-commands.sh
            $<TARGET_FILE:kova> > ${packaging_out}/man/kova-commands.h2m
    DEPENDS kova ${PROJECT_SOURCE_DIR}/packaging/man/kova-commands.sh
    VERBATIM)
  set(man_kova_opts "--name=records, plans and the KOVA instrument from the command line"
      --include=${packaging_out}/man/kova-commands.h2m)
  set(man_kova_depends ${packaging_out}/man/kova-commands.h2m)
  set(man_kova-gui_opts "--name=desktop program of the KOVA current-transformer test sets")
  set(man_kova-sim_opts "--name=simulated KOVA instrument on a pseudo-terminal")
  set(man_hmReportExport_opts "--name=report generator of the KOVA companion program: XML to PDF")
  set(man_kova_package kova)
  set(man_kova-gui_package kova-gui)
  set(man_kova-sim_package kova-sim)
  set(man_hmReportExport_package kova)
  foreach(program kova kova-gui kova-sim hmReportExport)
    set(page ${packaging_out}/man/${program}.1)
    # A private settings file and offscreen drawing: making the page touches
    # neither the builder's settings nor a display.
    add_custom_command(
      OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${packaging_out}/man
      COMMAND ${CMAKE_COMMAND} -E env KOVA_SETTINGS=${packaging_out}/man/settings.ini
              QT_QPA_PLATFORM=offscreen
              ${KOVA_HELP2MAN} --no-info --no-discard-stderr ${man_${program}_opts}
              --include=${PROJECT_SOURCE_DIR}/packaging/man/${program}.h2m
              --output=${page} $<TARGET_FILE:${program}>
      COMMAND ${KOVA_GZIP} -9nf ${page}
      DEPENDS ${program} ${PROJECT_SOURCE_DIR}/packaging/man/${program}.h2m
              ${man_${program}_depends}
      VERBATIM)
    list(APPEND packaging_outputs ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
            COMPONENT ${man_${program}_package})
  endforeach()
endif()
add_custom_target(kova_packaging_files ALL DEPENDS ${packaging_outputs})

# Refresh the system's caches when installing for real (not into a staging
# folder); a machine without the tools just skips this. The packages leave
# this to dpkg's triggers.
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
  endif()" COMPONENT kova-gui)

include(cmake/KovaPackage.cmake)
