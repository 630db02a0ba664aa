# Install layout and the two Debian packages (scripts/package.sh runs CPack):
#   zendrik2          the window program, zendrik2-job, manual pages, desktop entry, guide
#   zendrik2-standin  the local stand-in service with its test certificate, for rehearsals
include(GNUInstallDirs)

set(ZENDRIK_PACKAGE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
set(ZENDRIK_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(ZENDRIK_COMPRESSED_DIR ${CMAKE_BINARY_DIR}/packaging)

# Debian wants manual pages and changelogs compressed, reproducibly (no name, no time).
set(ZENDRIK_COMPRESSED_FILES)
function(zendrik_compressed source output)
  add_custom_command(OUTPUT ${ZENDRIK_COMPRESSED_DIR}/${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZENDRIK_COMPRESSED_DIR}
    COMMAND gzip -9n -c ${source} > ${ZENDRIK_COMPRESSED_DIR}/${output}
    DEPENDS ${source} VERBATIM)
  set(ZENDRIK_COMPRESSED_FILES ${ZENDRIK_COMPRESSED_FILES} ${ZENDRIK_COMPRESSED_DIR}/${output} PARENT_SCOPE)
endfunction()

foreach(page zendrik2 zendrik2-job zendrik2-standin)
  zendrik_compressed(${PROJECT_SOURCE_DIR}/docs/man/${page}.1 ${page}.1.gz)
endforeach()
zendrik_compressed(${ZENDRIK_PACKAGING_DIR}/changelog changelog.gz)
add_custom_target(zendrik_packaging_files ALL DEPENDS ${ZENDRIK_COMPRESSED_FILES})

function(zendrik_install_package_docs component package)
  install(FILES ${ZENDRIK_PACKAGING_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
          COMPONENT ${component})
  install(FILES ${ZENDRIK_COMPRESSED_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
          COMPONENT ${component})
  if(EXISTS ${ZENDRIK_PACKAGING_DIR}/${package}.lintian-overrides)
    install(FILES ${ZENDRIK_PACKAGING_DIR}/${package}.lintian-overrides
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME ${package} COMPONENT ${component})
  endif()
endfunction()

# zendrik2
if(TARGET zendrik2)
  install(TARGETS zendrik2 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT zendrik2)
  install(FILES ${ZENDRIK_PACKAGING_DIR}/zendrik2.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications
          COMPONENT zendrik2)
  install(FILES ${ZENDRIK_PACKAGING_DIR}/zendrik2.svg
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps COMPONENT zendrik2)
  install(FILES ${ZENDRIK_COMPRESSED_DIR}/zendrik2.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT zendrik2)
endif()
install(TARGETS zendrik2-job RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT zendrik2)
install(FILES ${ZENDRIK_COMPRESSED_DIR}/zendrik2-job.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT zendrik2)
install(FILES ${PROJECT_SOURCE_DIR}/docs/operator.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/zendrik2
        COMPONENT zendrik2)
zendrik_install_package_docs(zendrik2 zendrik2)

# zendrik2-standin: the stand-in finds its certificate in ../share/zendrik2-standin/certs.
# The authority's private key stays out: nobody needs to sign anything on a booth.
install(TARGETS zendrik2-standin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT standin)
install(FILES ${PROJECT_SOURCE_DIR}/tests/data/certs/ca.pem ${PROJECT_SOURCE_DIR}/tests/data/certs/server.pem
              ${PROJECT_SOURCE_DIR}/tests/data/certs/server-key.pem
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/zendrik2-standin/certs COMPONENT standin)
install(FILES ${ZENDRIK_COMPRESSED_DIR}/zendrik2-standin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT standin)
zendrik_install_package_docs(standin zendrik2-standin)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zendrik2)
set(CPACK_PACKAGE_VERSION ${ZENDRIK_PACKAGE_VERSION})
set(CPACK_PACKAGE_VENDOR "Zendrik2 developers")
set(CPACK_PACKAGE_CONTACT "Zendrik2 developers <zendrik2@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL zendrik2 standin)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_ZENDRIK2_PACKAGE_NAME zendrik2)
set(CPACK_DEBIAN_ZENDRIK2_PACKAGE_SECTION graphics)
# WebKit reaches https pages through glib-networking, which no binary links.
set(CPACK_DEBIAN_ZENDRIK2_PACKAGE_DEPENDS "glib-networking")
set(CPACK_COMPONENT_ZENDRIK2_DESCRIPTION "photo-booth uploader for Facebook
A photo-booth host program starts zendrik2 once per shot with a photo, video,
GIF or link and everything else on its command line. It logs the guest into
Facebook in an embedded browser, publishes the file, reports its status in
its window title and logs the guest out so that the next guest starts clean.
.
The package also holds zendrik2-job, the same job without a window, and the
operator's guide for wiring the program into a booth host.")

set(CPACK_DEBIAN_STANDIN_PACKAGE_NAME zendrik2-standin)
set(CPACK_DEBIAN_STANDIN_PACKAGE_SECTION net)
set(CPACK_COMPONENT_STANDIN_DESCRIPTION "local stand-in services for rehearsing a Zendrik2 booth
zendrik2-standin answers on 127.0.0.1 for every service zendrik2 talks to: the
Graph API, the login pages and the GIF service. It prints the environment that
points zendrik2 at it, so that an operator can rehearse a booth offline.
.
Its TLS certificate is a test certificate, trusted only by programs given its
authority through ZENDRIK_CA_FILE.")

include(CPack)
