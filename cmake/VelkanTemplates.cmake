# Language templates (data/Templ/*.txt) live in a folder "Templ" beside each program that offers
# them, both in the build tree (so that a build runs without being installed) and in the
# installation (bin/Templ).
include(GNUInstallDirs)

set(VELKAN_TEMPLATES_DIR ${PROJECT_SOURCE_DIR}/data/Templ)
file(GLOB VELKAN_TEMPLATE_FILES CONFIGURE_DEPENDS ${VELKAN_TEMPLATES_DIR}/*.txt)

install(FILES ${VELKAN_TEMPLATE_FILES} DESTINATION ${CMAKE_INSTALL_BINDIR}/Templ)

# Keeps a copy of the templates in the build folder of target's executable. The folder is made
# afresh whenever a template changes, so a removed template does not linger.
function(velkan_add_templates target)
  get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT dir)
    get_target_property(dir ${target} BINARY_DIR)
  endif()
  if(CMAKE_CONFIGURATION_TYPES)
    set(dir ${dir}/$<CONFIG>)
  endif()
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_templates.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${dir}/Templ
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}/Templ
    COMMAND ${CMAKE_COMMAND} -E copy ${VELKAN_TEMPLATE_FILES} ${dir}/Templ
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${VELKAN_TEMPLATE_FILES}
    COMMENT "Copying the language templates beside ${target}")
  add_custom_target(${target}_templates DEPENDS ${stamp})
  add_dependencies(${target} ${target}_templates)
endfunction()
