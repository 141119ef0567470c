# What `cmake --install` puts where, and the packages CPack makes of it:
#   Linux:   bin/gbkconvert, share/man/man1/gbkconvert.1.gz, the user's
#            README (doc/README.md) and the licence under share/doc/gbkconvert; `cpack -G DEB`, which
#            adds Debian's copyright file and changelog.Debian.gz there.
#   Windows: gbkconvert.exe, README.txt (written for a Windows user) and
#            LICENSE.txt side by side, as a user unpacks and runs them, the
#            texts with CR LF line ends; `cpack -G ZIP`.

# gbk_gzipped(file): file.gz beside file in the build tree, made at build
# time as Debian keeps documentation: gzip -9n, with no name or time in its
# header, so that the same text always gives the same bytes.
function(gbk_gzipped file)
  find_program(GBK_GZIP gzip REQUIRED)
  get_filename_component(name "${file}" NAME)
  add_custom_command(OUTPUT "${file}.gz" COMMAND "${GBK_GZIP}" -9nkf "${name}" DEPENDS "${file}"
                     WORKING_DIRECTORY "${PROJECT_BINARY_DIR}" VERBATIM)
  add_custom_target("gzip_${name}" ALL DEPENDS "${file}.gz")
endfunction()

set(GBK_PACKAGE_MAINTAINER "gbkconvert maintainers <maintainers@gbkconvert.invalid>"
    CACHE STRING "Maintainer named in the Debian package")
# The Debian revision of the package: 1 for each new version of the program.
set(GBK_DEBIAN_REVISION 1)
set(GBK_DEBIAN_VERSION "${PROJECT_VERSION}-${GBK_DEBIAN_REVISION}")

if(WIN32)
  install(TARGETS gbkconvert RUNTIME DESTINATION .)
  # The texts with CR LF line ends, as Notepad and cmd's type show them; the
  # title's underline as long as the title.
  string(LENGTH "gbkconvert ${PROJECT_VERSION} for Windows" title_length)
  string(REPEAT "=" ${title_length} GBK_README_TITLE_RULE)
  configure_file("${PROJECT_SOURCE_DIR}/doc/README-windows.txt.in" "${PROJECT_BINARY_DIR}/README.txt" @ONLY
                 NEWLINE_STYLE CRLF)
  configure_file("${PROJECT_SOURCE_DIR}/LICENSE" "${PROJECT_BINARY_DIR}/LICENSE.txt" @ONLY NEWLINE_STYLE CRLF)
  install(FILES "${PROJECT_BINARY_DIR}/README.txt" "${PROJECT_BINARY_DIR}/LICENSE.txt" DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  install(TARGETS gbkconvert RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
  # The manual page carries the version and date of this build's project.
  string(TIMESTAMP GBK_MANUAL_DATE "%Y-%m-%d" UTC)
  configure_file("${PROJECT_SOURCE_DIR}/doc/gbkconvert.1.in" "${PROJECT_BINARY_DIR}/gbkconvert.1" @ONLY)
  gbk_gzipped("${PROJECT_BINARY_DIR}/gbkconvert.1")
  install(FILES "${PROJECT_BINARY_DIR}/gbkconvert.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
  # The user's README: how to run the program, not how to build it.
  install(FILES "${PROJECT_SOURCE_DIR}/doc/README.md" "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION "${CMAKE_INSTALL_DOCDIR}")

  # What Debian asks of a package, for the Debian package only: the licence
  # as a copyright file in Debian's machine-readable form (made from LICENSE,
  # so that the two never differ), and the changelog of the package.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/LICENSE")
  file(READ "${PROJECT_SOURCE_DIR}/LICENSE" licence)
  if(NOT licence MATCHES "Copyright \\(c\\) ([^\n]+)\n+(Permission[^\n]*\n.*)$")
    message(FATAL_ERROR "LICENSE has no copyright line followed by the permission text")
  endif()
  set(holders "${CMAKE_MATCH_1}")
  string(STRIP "${CMAKE_MATCH_2}" terms)
  # A field's further lines start with a blank; an empty line is " .".
  string(REPLACE "\n" "\n " terms "${terms}")
  string(REPLACE "\n \n" "\n .\n" terms "${terms}")
  file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/copyright" @ONLY CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: gbkconvert

Files: *
Copyright: ${holders}
License: Expat
 ${terms}
")
  string(TIMESTAMP GBK_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
  configure_file("${PROJECT_SOURCE_DIR}/doc/changelog.Debian.in" "${PROJECT_BINARY_DIR}/changelog.Debian" @ONLY)
  gbk_gzipped("${PROJECT_BINARY_DIR}/changelog.Debian")
  install(FILES "${PROJECT_BINARY_DIR}/copyright" "${PROJECT_BINARY_DIR}/changelog.Debian.gz"
          DESTINATION "${CMAKE_INSTALL_DOCDIR}" COMPONENT debian EXCLUDE_FROM_ALL)
  # One package of both components.
  set(CPACK_COMPONENTS_ALL Unspecified debian)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_GENERATOR DEB)
endif()

set(CPACK_PACKAGE_NAME gbkconvert)
set(CPACK_PACKAGE_VENDOR "the gbkconvert maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/doc/README.md")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${GBK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_RELEASE "${GBK_DEBIAN_REVISION}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# No line of the long description may start with a dot, which Debian's
# control files reserve.
set(CPACK_PACKAGE_DESCRIPTION
    "gbkconvert turns the .GBK course file of a multiple-choice examination (an
answer-key record, a header record and one record per student) into the
three files, .dat, .txt and .ans, that a statistical detection program
reads. It warns on the console about records that do not fit, and offers an
interactive run with a list of the course files to choose from.")
# The libraries the program needs, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

include(CPack)
