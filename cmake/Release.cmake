# What makes a build a release: the version text, each program's resources (version, icon,
# manifest), and the downloadable archive. The version itself is set by project() alone.

set(PELLORAM_VERSION_SUFFIX "" CACHE STRING
    "Appended to the version text of the programs and the archive, e.g. -dirty")
set(PELLORAM_VERSION_TEXT "${PROJECT_VERSION}${PELLORAM_VERSION_SUFFIX}")
set(PELLORAM_COPYRIGHT "Copyright (C) 2026 Tovrin")
set(PELLORAM_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/cmake/version.h.in ${PELLORAM_GENERATED_DIR}/pelloram_version.h
               @ONLY)

# pelloram_windows_resources(target rc icon): compiles the program's resource script, which
# includes cmake/version_info.rc and embeds the icon and <target>.manifest.
function(pelloram_windows_resources target rc icon)
  set(PELLORAM_MANIFEST_NAME ${target})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/app.manifest.in
                 ${PELLORAM_GENERATED_DIR}/${target}.manifest @ONLY)
  target_sources(${target} PRIVATE ${rc})
  target_include_directories(${target} PRIVATE ${PELLORAM_GENERATED_DIR})
  # The resource compiler's own dependency scan sees neither the icon nor the manifest.
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${icon}
               ${PELLORAM_GENERATED_DIR}/${target}.manifest
               ${PELLORAM_GENERATED_DIR}/pelloram_version.h
               ${PROJECT_SOURCE_DIR}/cmake/version_info.rc)
  if(MSVC)
    target_link_options(${target} PRIVATE /MANIFEST:NO)  # the resource script embeds ours
  endif()
endfunction()

# The release archive, made from this tree's programs by the same code as scripts/package, so
# an end-to-end test can run the tool as users get it. Needs a Unix host with zip.
function(pelloram_release_archive)
  if(NOT (CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX))
    return()
  endif()
  find_program(PELLORAM_ZIP zip)
  if(NOT PELLORAM_ZIP)
    message(FATAL_ERROR "zip is missing; scripts/setup installs it")
  endif()
  set(archive ${PROJECT_BINARY_DIR}/release/pelloram-${PELLORAM_VERSION_TEXT}-win64.zip)
  add_custom_command(
    OUTPUT ${archive}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/make-archive ${archive} $<TARGET_FILE:pelloram>
            $<TARGET_FILE:practice_client> ${PROJECT_SOURCE_DIR}/README.md
    DEPENDS pelloram practice_client ${PROJECT_SOURCE_DIR}/README.md
            ${PROJECT_SOURCE_DIR}/scripts/make-archive
    COMMENT "Packing release/pelloram-${PELLORAM_VERSION_TEXT}-win64.zip"
    VERBATIM)
  add_custom_target(release_archive ALL DEPENDS ${archive})
  set(PELLORAM_ARCHIVE ${archive} PARENT_SCOPE)
endfunction()
