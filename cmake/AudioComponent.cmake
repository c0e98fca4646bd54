# vyk_add_audio_component(<target> PLUGINS_DIR <folder> TYPE <code> SUBTYPE <code>
#     MANUFACTURER <code> NAME <text> VERSION <n> FLAGS <n> FACTORY <symbol>
#     SOURCES ... [LIBS ...])
# A component bundle <folder>/<target>.appex holding the module <target>.so and its
# Info.plist. The module exports its factory symbol only, resolves every symbol at link
# time, and finds libvyk-platform.so in the bundle's lib folder.
set(VYK_AUDIO_COMPONENT_INFO ${CMAKE_CURRENT_LIST_DIR}/AudioComponentInfo.plist.in)

function(vyk_add_audio_component target)
  cmake_parse_arguments(C ""
    "PLUGINS_DIR;TYPE;SUBTYPE;MANUFACTURER;NAME;VERSION;FLAGS;FACTORY" "SOURCES;LIBS" ${ARGN})
  set(appex ${C_PLUGINS_DIR}/${target}.appex)
  add_library(${target} MODULE ${C_SOURCES})
  target_link_libraries(${target} PRIVATE ${C_LIBS} vyk-platform)
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${appex}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    BUILD_WITH_INSTALL_RPATH ON
    INSTALL_RPATH "\$ORIGIN/../../lib")
  # Only the factory is exported, also what the C++ library's headers would mark visible.
  set(exports ${CMAKE_CURRENT_BINARY_DIR}/${target}.exports)
  # Written only when it changes, so a reconfigure relinks nothing.
  file(CONFIGURE OUTPUT ${exports} CONTENT "{ global: ${C_FACTORY}; local: *; };\n")
  target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL -Wl,--version-script=${exports})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${exports})
  # The sanitizer runtimes live in the executable, so a module cannot resolve them alone.
  if(VYK_SANITIZE STREQUAL "" AND NOT VYK_FUZZ)
    target_link_options(${target} PRIVATE -Wl,-z,defs)
  endif()
  configure_file(${VYK_AUDIO_COMPONENT_INFO} ${appex}/Info.plist @ONLY)
endfunction()
