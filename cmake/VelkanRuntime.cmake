# The Windows install runtime inside the builder. When the mingw-w64 cross compiler is found, the
# runtime programs (runtime/) are built as an external project with cmake/mingw-x86_64.cmake, the
# host tool MakeRuntimeResources packs the dialog-template blocks and writes the table of runtime
# resources, and velkan_res compiles that table instead of the empty one. Without mingw the
# builder still builds, with no runtime resources.
option(VELKAN_RUNTIME "Build the Windows install runtime (needs mingw-w64)" ON)
find_program(VELKAN_MINGW_CXX x86_64-w64-mingw32-g++)

set(VELKAN_RUNTIME_TABLE "")
if(VELKAN_RUNTIME AND VELKAN_MINGW_CXX)
  set(VELKAN_RUNTIME_TABLE ${CMAKE_BINARY_DIR}/runtime-res/RuntimeResourceData.cpp)
  set(VELKAN_RUNTIME_BIN ${CMAKE_BINARY_DIR}/runtime-win)
  set(VELKAN_RUNTIME_PROGRAMS
    ${VELKAN_RUNTIME_BIN}/velkan_setup.exe ${VELKAN_RUNTIME_BIN}/velkan_setup31.exe
    ${VELKAN_RUNTIME_BIN}/velkan_uninstall.exe ${VELKAN_RUNTIME_BIN}/velkan_uninstall31.exe)
  message(STATUS "Install runtime: built with ${VELKAN_MINGW_CXX}")
else()
  message(STATUS "Install runtime: not built (no mingw-w64); the builder carries no runtime resources")
endif()

# Called after core/: adds the external runtime build and the generated resource table.
function(velkan_add_runtime)
  if(NOT VELKAN_RUNTIME_TABLE)
    return()
  endif()
  # The standard dialog templates the runtime programs carry, packed (runtime/wizard/BuiltinDialogs.cpp).
  add_executable(MakeBuiltinDialogs runtime/tools/MakeBuiltinDialogs.cpp runtime/WizardDialogs.cpp)
  target_include_directories(MakeBuiltinDialogs PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(MakeBuiltinDialogs PRIVATE velkan_compress)
  target_compile_options(MakeBuiltinDialogs PRIVATE ${VELKAN_WARNINGS})
  set(VELKAN_BUILTIN_DIALOGS_DIR ${CMAKE_BINARY_DIR}/runtime-dialogs PARENT_SCOPE)
  set(dialogs_dir ${CMAKE_BINARY_DIR}/runtime-dialogs)
  add_custom_command(OUTPUT ${dialogs_dir}/BuiltinDialogs.inc
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dialogs_dir}
    COMMAND MakeBuiltinDialogs ${dialogs_dir}/BuiltinDialogs.inc
    DEPENDS MakeBuiltinDialogs ${PROJECT_SOURCE_DIR}/runtime/WizardDialogs.cpp
    COMMENT "Packing the runtime's built-in dialog templates")
  add_custom_target(velkan_builtin_dialogs DEPENDS ${dialogs_dir}/BuiltinDialogs.inc)

  include(ExternalProject)
  ExternalProject_Add(velkan_runtime_programs
    DEPENDS velkan_builtin_dialogs
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/runtime
    BINARY_DIR ${VELKAN_RUNTIME_BIN}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-x86_64.cmake
               -DCMAKE_BUILD_TYPE=MinSizeRel -DVELKAN_BUILTIN_DIALOGS_DIR=${dialogs_dir}
               -DVELKAN_WERROR=${VELKAN_WERROR}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${VELKAN_RUNTIME_PROGRAMS})

  add_executable(MakeRuntimeResources runtime/tools/MakeRuntimeResources.cpp runtime/WizardDialogs.cpp
    core/package/StubMarker.cpp)
  target_include_directories(MakeRuntimeResources PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(MakeRuntimeResources PRIVATE velkan_compress)
  target_compile_options(MakeRuntimeResources PRIVATE ${VELKAN_WARNINGS})

  add_custom_command(OUTPUT ${VELKAN_RUNTIME_TABLE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/runtime-res
    COMMAND MakeRuntimeResources ${VELKAN_RUNTIME_TABLE}
            500=${VELKAN_RUNTIME_BIN}/velkan_setup.exe 501=${VELKAN_RUNTIME_BIN}/velkan_setup31.exe
            506=${VELKAN_RUNTIME_BIN}/velkan_uninstall31.exe 507=${VELKAN_RUNTIME_BIN}/velkan_uninstall.exe
    DEPENDS MakeRuntimeResources velkan_runtime_programs ${VELKAN_RUNTIME_PROGRAMS}
            ${PROJECT_SOURCE_DIR}/runtime/WizardDialogs.cpp
    COMMENT "Embedding the install runtime into the builder")
  add_custom_target(velkan_runtime_table DEPENDS ${VELKAN_RUNTIME_TABLE})
  add_dependencies(velkan_res velkan_runtime_table)
endfunction()
