# What `cmake --install` puts where (GNUInstallDirs), and the Debian package
# CPack makes of it (scripts/package.sh). Included once the programs' targets
# exist; the tests and benchmarks, which install nothing, come after.
include(GNUInstallDirs)

set(OVN_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/ovenmenu)

# The version is set once, in project(); the code has it from "ovn/Version.h".
# The texts that must name it too (a man page's title line, the newest entry
# of a release history) are checked here, so that no package names two.
function(ovn_expect_version file line text)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${file})
    file(STRINGS ${PROJECT_SOURCE_DIR}/${file} first REGEX "${line}" LIMIT_COUNT 1)
    string(FIND "${first}" "${text}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "${file}: \"${first}\" does not name version ${PROJECT_VERSION} as \"${text}\"")
    endif()
endfunction()
ovn_expect_version(tools/ovntool/ovntool.1 "^\\.TH " "\"ovntool ${PROJECT_VERSION}\"")
ovn_expect_version(app/ovenmenu.1 "^\\.TH " "\"ovenmenu ${PROJECT_VERSION}\"")
ovn_expect_version(packaging/changelog "^ovenmenu " "ovenmenu (${PROJECT_VERSION})")
ovn_expect_version(app/desktop/${OVN_DESKTOP_ID}.metainfo.xml "<release " "version=\"${PROJECT_VERSION}\"")

install(TARGETS ovntool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/tools/ovntool/ovntool.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ovntool)

# Man pages and the changelog compressed without a timestamp (gzip -n), so the
# package is the same from build to build.
set(ovn_gzipped "")
function(ovn_gzip source name destination)
    set(output ${PROJECT_BINARY_DIR}/gz/${name}.gz)
    add_custom_command(OUTPUT ${output} COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/gz
                       COMMAND gzip -9 -n -c ${source} > ${output} DEPENDS ${source} VERBATIM)
    install(FILES ${output} DESTINATION ${destination})
    set(ovn_gzipped ${ovn_gzipped} ${output} PARENT_SCOPE)
endfunction()
ovn_gzip(${PROJECT_SOURCE_DIR}/tools/ovntool/ovntool.1 ovntool.1 ${CMAKE_INSTALL_MANDIR}/man1)
ovn_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog changelog ${OVN_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${OVN_DOC_DIR})

if(OVN_BUILD_GUI)
    install(TARGETS ovenmenu RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # Run by `ovntool card` only, which looks for it here (as ../libexec/ovenmenu from its own folder).
    install(TARGETS ovntool-card RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/ovenmenu)
    ovn_gzip(${PROJECT_SOURCE_DIR}/app/ovenmenu.1 ovenmenu.1 ${CMAKE_INSTALL_MANDIR}/man1)
    set(desktop ${PROJECT_SOURCE_DIR}/app/desktop)
    install(FILES ${desktop}/${OVN_DESKTOP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${desktop}/${OVN_DESKTOP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${desktop}/ovenmenu-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ovenmenu.xml)
    set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
    install(FILES ${PROJECT_SOURCE_DIR}/app/icons/ovenmenu.svg DESTINATION ${icons}/scalable/apps
            RENAME ${OVN_DESKTOP_ID}.svg)
    foreach(size 16 32 48 64 128 256)
        install(FILES ${PROJECT_SOURCE_DIR}/app/icons/ovenmenu-${size}.png DESTINATION ${icons}/${size}x${size}/apps
                RENAME ${OVN_DESKTOP_ID}.png)
    endforeach()
endif()
add_custom_target(ovn_gzipped_docs ALL DEPENDS ${ovn_gzipped})

# The Debian package: its dependencies come from the libraries the programs link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ovenmenu)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The ovenmenu developers <ovenmenu@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the cooking menu of a commercial oven")
set(CPACK_PACKAGE_DESCRIPTION
    "The R5800 Menu Editor edits the 100 items of an oven's cooking menu (gas or\n"
    "electric) and saves it as the fixed 2409-byte image the oven reads. A\n"
    "double click on a menu file (*.ovn) opens it.\n"
    "\n"
    "The command-line tool ovntool checks, shows, exports, imports, compares,\n"
    "creates and prints (as a one-page PDF menu card) menu files without opening\n"
    "a window.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The list draws in a fixed-pitch font; the mime type, desktop entry and icon
# caches are refreshed by these packages' triggers when they are installed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, shared-mime-info, desktop-file-utils, hicolor-icon-theme")
include(CPack)
