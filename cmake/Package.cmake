# SPDX-License-Identifier: GPL-2.0-or-later
# Installation and the Debian package.
#
# cmake --install puts the programs in bin/ and the two private shared libraries in
# lib/tessera/ beside it: the binaries carry the relative run path $ORIGIN/../lib/tessera, and
# the platform layer looks for modules loaded by name in bin/../lib/tessera too, so the tree
# works under any prefix. No public library name is claimed and the dynamic linker's cache
# has nothing to learn, so the package needs no ldconfig trigger. The desktop
# files, the icon, the manual page and the bash completion come from dist/.

set(TESSERA_INSTALL_BINDIR bin)
set(TESSERA_INSTALL_LIBDIR lib/tessera)

set(programs tessera)
foreach(tool quill-xml quill-chart quill-edit quill-dlg)
    if(TARGET ${tool})
        list(APPEND programs ${tool})
    endif()
endforeach()
install(TARGETS ${programs} RUNTIME DESTINATION ${TESSERA_INSTALL_BINDIR})
# Shared libraries are mapped, not run: no execute bits.
install(TARGETS platform QuillRES
        LIBRARY DESTINATION ${TESSERA_INSTALL_LIBDIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

set(CPACK_PACKAGE_NAME tessera)
set(CPACK_PACKAGE_VENDOR "The Tessera developers")
# Debian requires a maintainer address; there is no public one yet.
set(CPACK_PACKAGE_CONTACT "Tessera maintainers <maintainers@users.noreply.c-seed-4c6babb7.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY tessera)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
# Directories in the package are created 0755 whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the binaries link against, each with the version range it needs, as
# dpkg-shlibdeps reads them from the binaries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A terminal font stack is not enough: the calculator maps its faces to DejaVu.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The long description; cpack puts the summary above it and indents it as a control file
# wants, an empty line becoming a "." line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tessera designs interdigital bandpass filters: round rods between two
ground planes, grounded alternately at the two end walls. From the filter
requirements (number of resonators, pass-band ripple, centre frequency,
bandwidth, line impedance) and the box dimensions it computes at once the rod
spacings and lengths, the tap height, the box size, Q, loss and delay, a text
report and the response curve.

Designs are kept by name. The response chart exports as PNG, SVG, PDF or CSV,
the network of coupled resonators as a Touchstone file and a tuning table. The
same program works from the command line without a display.")

# CPack would add an ldconfig run for any library below /usr/lib; these scripts take the
# place of those it generates.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/dist/postinst
    ${PROJECT_SOURCE_DIR}/dist/postrm)

include(CPack)
