# What `cmake --install` puts where, and the packages CPack makes of it:
#   Linux:   bin/gbkconvert, share/man/man1/gbkconvert.1, the README and the
#            licence under share/doc/gbkconvert; `cpack -G DEB`.
#   Windows: gbkconvert.exe, README.txt and LICENSE.txt side by side, as a
#            user unpacks and runs them; `cpack -G ZIP`.
if(WIN32)
  install(TARGETS gbkconvert RUNTIME DESTINATION .)
  install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION . RENAME README.txt)
  install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION . RENAME LICENSE.txt)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  install(TARGETS gbkconvert RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
  # The manual page carries the version and date of this build's project.
  string(TIMESTAMP GBK_MANUAL_DATE "%Y-%m-%d" UTC)
  configure_file("${PROJECT_SOURCE_DIR}/doc/gbkconvert.1.in" "${PROJECT_BINARY_DIR}/gbkconvert.1" @ONLY)
  install(FILES "${PROJECT_BINARY_DIR}/gbkconvert.1" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
  install(FILES "${PROJECT_SOURCE_DIR}/README.md" "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION "${CMAKE_INSTALL_DOCDIR}")
  set(CPACK_GENERATOR DEB)
endif()

set(CPACK_PACKAGE_NAME gbkconvert)
set(CPACK_PACKAGE_VENDOR "the gbkconvert maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
set(CPACK_STRIP_FILES ON)

set(GBK_PACKAGE_MAINTAINER "gbkconvert maintainers <maintainers@gbkconvert.invalid>"
    CACHE STRING "Maintainer named in the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${GBK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_PACKAGE_DESCRIPTION
    "gbkconvert turns the .GBK course file of a multiple-choice examination (an
answer-key record, a header record and one record per student) into the
.dat, .txt and .ans files that a statistical detection program reads. It
warns on the console about records that do not fit, and offers an
interactive run with a list of the course files to choose from.")
# The libraries the program needs, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

include(CPack)
