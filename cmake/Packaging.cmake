# The Debian package: `cpack -G DEB` in a release build gives zentrovax_<version>_amd64.deb with
# the program, its desktop entry, icons, metainfo and man page, its library dependencies found
# by dpkg-shlibdeps.
set(ZENTROVAX_MAINTAINER "The Zentrovax developers <developers@zentrovax.org>")
# The release date, not the build's, so the changelog is the same in every build.
execute_process(COMMAND date -u -d "${ZENTROVAX_RELEASE_DATE}" "+%a, %d %b %Y 00:00:00 +0000"
                OUTPUT_VARIABLE ZENTROVAX_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)

include(GNUInstallDirs)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/zentrovax)
configure_file(${PROJECT_SOURCE_DIR}/resources/changelog.in changelog @ONLY)
add_custom_command(OUTPUT changelog.gz
                   COMMAND gzip -9nc changelog > changelog.gz
                   DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog)
add_custom_target(zentrovax_changelog ALL DEPENDS changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/resources/copyright
        DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentrovax)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${ZENTROVAX_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "type plain text and watch it appear in leet spelling")
# CPack puts the summary first and indents each line of this under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Zentrovax turns ordinary lower-case typing into leet, live: a becomes 4,
k becomes |<, spaces pass through and every other key is ignored. Pause lets
you correct, select and copy the output; Resume goes on typing at its end.
.
From a terminal, zentrovax --translate turns files or standard input into
leet the same way.")
# Named here rather than by CPack's default, so that the build can say where the package will be.
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE
                OUTPUT_STRIP_TRAILING_WHITESPACE)
set(CPACK_DEBIAN_FILE_NAME
    "${CPACK_PACKAGE_NAME}_${CPACK_PACKAGE_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb")
set_property(GLOBAL PROPERTY ZENTROVAX_PACKAGE ${PROJECT_BINARY_DIR}/${CPACK_DEBIAN_FILE_NAME})
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the X11 platform plugin, and Wayland's.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build/" "/\\\\.git/")
include(CPack)
