# Sources of the logic that has no Windows side effects.  The installer
# compiles them for Windows; the host build compiles them natively into the
# `kestrova_pure` library that the unit tests link.
set(KESTROVA_PURE_SOURCES
    engine/paths.cpp
    engine/checksum.cpp
    engine/folder_names.cpp
    shell/backdrop_layout.cpp
    shell/page_layout.cpp
    shell/command_line.cpp
    pages/location_rules.cpp
    pages/browser_layout.cpp
    engine/progress_state.cpp
    engine/reported_folder.cpp
    system/record_contents.cpp
)
list(TRANSFORM KESTROVA_PURE_SOURCES PREPEND "${CMAKE_SOURCE_DIR}/")

# The same kind of logic that only the uninstaller needs.
set(KESTROVA_UNINSTALLER_PURE_SOURCES "${CMAKE_SOURCE_DIR}/uninstaller/record_checks.cpp")
