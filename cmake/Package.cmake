# Installation and the Debian package (`bash scripts/package.sh`): the program, its default
# templates, the icon, the desktop entry, the AppStream metainfo, the manual page written by the
# program from its own command-line help, and the package's documents. The version comes from the
# project() line alone.

include(GNUInstallDirs)

set(ZAJAVKI_APP_ID ru.tovex.Zajavki)
set(ZAJAVKI_MAINTAINER "Разработчики программы «Заявки на обучение» <zajavki@tovex.ru>")
execute_process(COMMAND date -u -R -d "${ZAJAVKI_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE ZAJAVKI_RELEASE_DATE_RFC OUTPUT_STRIP_TRAILING_WHITESPACE)

set(packaging ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(generated ${CMAKE_BINARY_DIR}/packaging)
configure_file(${packaging}/${ZAJAVKI_APP_ID}.metainfo.xml.in ${generated}/${ZAJAVKI_APP_ID}.metainfo.xml @ONLY)
configure_file(${packaging}/changelog.in ${generated}/changelog @ONLY)

# The manual page and the changelog, compressed as Debian keeps them (no time stamp inside).
add_custom_command(
    OUTPUT ${generated}/zajavki.1.gz
    COMMAND $<TARGET_FILE:zajavki> --manpage > ${generated}/zajavki.1
    COMMAND gzip -9nf ${generated}/zajavki.1
    DEPENDS zajavki
    COMMENT "Страница руководства zajavki(1)")
add_custom_command(
    OUTPUT ${generated}/changelog.gz
    COMMAND gzip -9nc ${generated}/changelog > ${generated}/changelog.gz
    DEPENDS ${generated}/changelog)
add_custom_target(package_documents ALL DEPENDS ${generated}/zajavki.1.gz ${generated}/changelog.gz)

install(TARGETS zajavki RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY templates/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zajavki/templates FILES_MATCHING PATTERN "*.xltx")
install(FILES help/manual/images/ftrPersonal.png DESTINATION ${CMAKE_INSTALL_DATADIR}/zajavki/screenshots
        RENAME register.png)
install(FILES shell/icons/app.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${ZAJAVKI_APP_ID}.svg)
install(FILES ${packaging}/${ZAJAVKI_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${generated}/${ZAJAVKI_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${generated}/zajavki.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging}/copyright ${generated}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zajavki)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zajavki)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ZAJAVKI_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "staff training applications of a medical institution")
set(CPACK_PACKAGE_DESCRIPTION
    "The personnel office of a medical institution keeps its staff register\n"
    "with certificates and accreditations, browses the training centre's\n"
    "programme catalogue, plans who needs training in a year and prepares\n"
    "numbered training applications, printed as spreadsheet forms and exported\n"
    "as Paradox tables for the training centre. The interface is in Russian.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins Qt loads at run time, which the libraries' dependencies do not name: the window system's
# platform plugin, a font to draw the text with, Qt's own Russian texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libreoffice-calc")
include(CPack)
