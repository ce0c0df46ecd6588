# Kestrova.exe: the installer, with the packed product files inside.
#
# Its code but for library loading (shell/system_libraries.cpp), compiled
# once for every build of it: the shipping installer, its twin without the
# payload, and the test builds that differ only in how they load libraries.
set(KESTROVA_SOURCES
    shell/entry.cpp
    shell/backdrop_window.cpp
    shell/backdrop_style.cpp
    shell/backdrop_paint.cpp
    shell/page_chain.cpp
    shell/page_helpers.cpp
    shell/stage.cpp
    shell/installer_messages.cpp
    shell/install_log.cpp
    shell/machine_lock.cpp
    shell/silent_install.cpp
    engine/code_page.cpp
    engine/folder_chain.cpp
    engine/folder_trust.cpp
    engine/install_folder.cpp
    engine/shared_folders.cpp
    engine/message_pump.cpp
    engine/progress_meter.cpp
    engine/copy_engine.cpp
    engine/installing_page.cpp
    pages/welcome_page.cpp
    pages/agreement_page.cpp
    pages/location_page.cpp
    pages/folder_browser.cpp
    pages/shell_icons.cpp
    pages/group_page.cpp
    system/shortcuts.cpp
    system/registry_records.cpp
    system/record_values.cpp
    system/readme_launch.cpp
    ${KESTROVA_PURE_SOURCES}
)
list(TRANSFORM KESTROVA_SOURCES PREPEND "${CMAKE_SOURCE_DIR}/" REGEX "^[^/]")

# uuid is a static library of the system's interface identifiers, not a DLL.
set(KESTROVA_LIBRARIES kernel32 user32 gdi32 shell32 ole32 advapi32 uuid)

add_library(kestrova_code OBJECT ${KESTROVA_SOURCES} ${KESTROVA_GENERATED_DIR}/payload_table.cpp)
target_compile_options(kestrova_code PRIVATE ${KESTROVA_WIN_COMPILE_FLAGS})
target_compile_definitions(kestrova_code PRIVATE ${KESTROVA_WIN_DEFINITIONS})
target_include_directories(kestrova_code PRIVATE ${CMAKE_SOURCE_DIR} ${KESTROVA_GENERATED_DIR})
add_dependencies(kestrova_code installer_resources)

# kestrova_installer(TARGET [DEFINES ...] [LIBRARIES ...]): one build of the
# installer, its library loading compiled with DEFINES, linked with
# LIBRARIES before the system's.
function(kestrova_installer target)
  cmake_parse_arguments(ARG "" "" "DEFINES;LIBRARIES" ${ARGN})
  add_executable(${target} WIN32 $<TARGET_OBJECTS:kestrova_code>
                 ${CMAKE_SOURCE_DIR}/shell/system_libraries.cpp
                 ${CMAKE_SOURCE_DIR}/resources/kestrova.rc)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${KESTROVA_GENERATED_DIR}
                             ${CMAKE_SOURCE_DIR}/resources)
  kestrova_shipping_program(${target} KIND GUI)
  target_compile_definitions(${target} PRIVATE ${ARG_DEFINES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} ${KESTROVA_LIBRARIES})
  add_dependencies(${target} installer_resources)
endfunction()

# The shipping installer, and the same without the payload so that the
# build can report the installer's own weight.
kestrova_installer(Kestrova DEFINES KESTROVA_WITH_PAYLOAD=1)
kestrova_installer(Kestrova-nopayload)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/kestrova.rc PROPERTIES
    OBJECT_DEPENDS "${KESTROVA_ART_FILES};${KESTROVA_PACKED_FILES};${KESTROVA_GENERATED_DIR}/payload.rc;${CMAKE_SOURCE_DIR}/resources/agreement.txt;${CMAKE_SOURCE_DIR}/resources/page_templates.rc;${CMAKE_SOURCE_DIR}/resources/version.rc;${CMAKE_SOURCE_DIR}/resources/kestrova.manifest")
set_target_properties(Kestrova PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# What the build checks on every Windows binary that ships: the machine,
# the GUI subsystem, and imports from the system's known DLLs only.  The
# shipping PE32 without its payload is held to 64 KB.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(KESTROVA_MOST_WITHOUT_PAYLOAD --most-without-payload 65536)
endif()
add_custom_command(TARGET Kestrova POST_BUILD
  COMMAND ${CMAKE_SOURCE_DIR}/tools/check-pe.sh --objdump ${KESTROVA_TRIPLE}-objdump
          --machine ${CMAKE_SYSTEM_PROCESSOR}
          --size-without-payload $<TARGET_FILE:Kestrova-nopayload>
          ${KESTROVA_MOST_WITHOUT_PAYLOAD}
          $<TARGET_FILE:Kestrova>
  VERBATIM)
add_dependencies(Kestrova Kestrova-nopayload)
# Signed last, once its bytes are final (tools/sign-pe.sh says when).
add_custom_command(TARGET Kestrova POST_BUILD
  COMMAND ${CMAKE_SOURCE_DIR}/tools/sign-pe.sh $<TARGET_FILE:Kestrova>
  VERBATIM)
