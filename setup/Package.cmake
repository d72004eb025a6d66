# The Debian package (tools/package.sh: cpack -G DEB): the installation folder
# under /usr/lib/orvik-excel-to-pdf with the menu entry, icons and links, the
# Debian packages the program needs at run time, and maintainer scripts that run
# OrvikRegister after installing and OrvikUnregister before removing.
set(CPACK_PACKAGE_NAME orvik-excel-to-pdf)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvik Software")
set(CPACK_PACKAGE_CONTACT "Orvik Software <support@orvik-software.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converts Excel workbooks into PDF files")
set(CPACK_PACKAGE_DESCRIPTION "Orvik Excel To PDF turns .xls and .xlsx workbooks into PDF files, one per
workbook, with document information, passwords, permissions, compression and
image quality of your choice. Each sheet is printed by LibreOffice Calc through
a private CUPS printer queue; Ghostscript assembles the PDF. It comes with a
window, the command-line converter orvik-xl2pdf, and a command in Calc's File
menu that converts the open workbook.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The office's full build (the -nogui one has no printers), Ghostscript, CUPS and
# its commands (the queue script), the fonts, and the desktop's opener.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libreoffice-calc, libreoffice-core, ghostscript, cups, cups-client, fonts-wine, fonts-dejavu-core, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-zenhei")

set(ORVIK_PACKAGE_FOLDER ${CPACK_PACKAGING_INSTALL_PREFIX}/${orvik_setup_install_dir})
set(orvik_package_scripts)
foreach(script postinst prerm)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/debian/${script}.in ${CMAKE_CURRENT_BINARY_DIR}/debian/${script}
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  list(APPEND orvik_package_scripts ${CMAKE_CURRENT_BINARY_DIR}/debian/${script})
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${orvik_package_scripts})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
set(CPACK_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackConfig.cmake)
set(CPACK_SOURCE_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackSourceConfig.cmake)
include(CPack)
