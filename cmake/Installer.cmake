# Kestrova.exe: the installer, with the packed product files inside.
set(KESTROVA_SOURCES
    shell/entry.cpp
    shell/backdrop_window.cpp
    shell/backdrop_style.cpp
    shell/backdrop_paint.cpp
    shell/page_chain.cpp
    shell/page_helpers.cpp
    shell/stage.cpp
    shell/installer_messages.cpp
    shell/system_libraries.cpp
    shell/install_log.cpp
    shell/silent_install.cpp
    engine/code_page.cpp
    engine/folder_chain.cpp
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
    system/readme_launch.cpp
    ${KESTROVA_PURE_SOURCES}
)
list(TRANSFORM KESTROVA_SOURCES PREPEND "${CMAKE_SOURCE_DIR}/" REGEX "^[^/]")

# uuid is a static library of the system's interface identifiers, not a DLL.
set(KESTROVA_LIBRARIES kernel32 user32 gdi32 shell32 ole32 advapi32 uuid)

# Compiled twice: the shipping installer, and the same without the payload
# so that the build can report the installer's own weight.
foreach(variant Kestrova Kestrova-nopayload)
  add_executable(${variant} WIN32 ${KESTROVA_SOURCES}
                 ${CMAKE_SOURCE_DIR}/resources/kestrova.rc)
  target_include_directories(${variant} PRIVATE ${CMAKE_SOURCE_DIR} ${KESTROVA_GENERATED_DIR}
                             ${CMAKE_SOURCE_DIR}/resources)
  kestrova_shipping_program(${variant} KIND GUI)
  target_link_libraries(${variant} PRIVATE ${KESTROVA_LIBRARIES})
  add_dependencies(${variant} installer_resources)
endforeach()
target_sources(Kestrova PRIVATE ${KESTROVA_GENERATED_DIR}/payload_table.cpp)
target_sources(Kestrova-nopayload PRIVATE ${KESTROVA_GENERATED_DIR}/payload_table.cpp)
target_compile_definitions(Kestrova PRIVATE KESTROVA_WITH_PAYLOAD=1)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/kestrova.rc PROPERTIES
    OBJECT_DEPENDS "${KESTROVA_ART_FILES};${KESTROVA_PACKED_FILES};${KESTROVA_GENERATED_DIR}/payload.rc;${CMAKE_SOURCE_DIR}/resources/agreement.txt;${CMAKE_SOURCE_DIR}/resources/page_templates.rc;${CMAKE_SOURCE_DIR}/resources/version.rc;${CMAKE_SOURCE_DIR}/resources/kestrova.manifest")
set_target_properties(Kestrova PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# What the build checks on every Windows binary that ships: the machine,
# the GUI subsystem, and imports from the system's known DLLs only.
add_custom_command(TARGET Kestrova POST_BUILD
  COMMAND ${CMAKE_SOURCE_DIR}/tools/check-pe.sh --objdump ${KESTROVA_TRIPLE}-objdump
          --machine ${CMAKE_SYSTEM_PROCESSOR}
          --size-without-payload $<TARGET_FILE:Kestrova-nopayload>
          $<TARGET_FILE:Kestrova>
  VERBATIM)
add_dependencies(Kestrova Kestrova-nopayload)
