# The Debian package: `cpack -G DEB` in the build directory makes velkan_VERSION_ARCH.deb from the
# install rules (velkan, velkanc, the help pages, the .desktop entry and the .vkp MIME type) under
# /usr. Its dependencies come from dpkg-shlibdeps (the shared libraries the programs link), plus
# the Qt platform plugins, which the editor loads at run time and no linker sees.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkan)
set(CPACK_PACKAGE_VENDOR Orvanti)
set(CPACK_PACKAGE_CONTACT "Velkan developers <velkan@orvanti.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "install-program builder for Windows")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Velkan writes self-extracting Windows setup programs from a project that describes the files\n"
    "to install, the install wizard, shortcuts, INI and registry entries, an uninstaller and\n"
    "several product versions. velkan is the desktop editor, velkanc the command-line builder.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvanti.invalid/velkan")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET velkan)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
# Test runs of the wizard start setup programs under Wine; signing uses osslsigncode.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "wine64, osslsigncode")
include(CPack)
