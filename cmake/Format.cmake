# The code's layout is clang-format's, with the settings of .clang-format, by the clang-format of
# Debian's package (version 14): another version lays some lines out differently.
#   cmake --build build --target format        reformats every source file in place
#   cmake --build build --target format-check  fails, naming the lines, where a file differs
# The tests run the check too (FormatCheck) where that clang-format is installed.
set(ZAJAVKI_CLANG_FORMAT_VERSION 14)
find_program(ZAJAVKI_CLANG_FORMAT NAMES clang-format-${ZAJAVKI_CLANG_FORMAT_VERSION} clang-format)
if(ZAJAVKI_CLANG_FORMAT)
    execute_process(COMMAND ${ZAJAVKI_CLANG_FORMAT} --version OUTPUT_VARIABLE version_text
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT version_text MATCHES "version ${ZAJAVKI_CLANG_FORMAT_VERSION}\\.")
        message(STATUS "Not clang-format ${ZAJAVKI_CLANG_FORMAT_VERSION} (${version_text}): no format targets")
        unset(ZAJAVKI_CLANG_FORMAT CACHE)
        set(ZAJAVKI_CLANG_FORMAT "")
    endif()
endif()

if(ZAJAVKI_CLANG_FORMAT)
    set(format_dirs ${ZAJAVKI_LAYERS} tests bench)
    set(format_globs "")
    foreach(dir IN LISTS format_dirs)
        list(APPEND format_globs "${PROJECT_SOURCE_DIR}/${dir}/*.h" "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
    endforeach()
    file(GLOB_RECURSE ZAJAVKI_FORMATTED_SOURCES CONFIGURE_DEPENDS ${format_globs})
    list(FILTER ZAJAVKI_FORMATTED_SOURCES EXCLUDE REGEX "/tests/fixtures/")
    add_custom_target(format
        COMMAND ${ZAJAVKI_CLANG_FORMAT} -i ${ZAJAVKI_FORMATTED_SOURCES}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        COMMENT "Reformatting the sources")
    add_custom_target(format-check
        COMMAND ${ZAJAVKI_CLANG_FORMAT} --dry-run --Werror ${ZAJAVKI_FORMATTED_SOURCES}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        COMMENT "Checking the sources' layout")
endif()
