# Puts the Qt DLLs and plugins the Windows programs and test programs use
# beside them, the way windeployqt lays them out: Qt's DLLs in the programs'
# folder, each plugin in a folder named for its kind (platforms/, styles/).
# A user can replace them, and the folder needs nothing else from Qt.
#
# Run as a script (cmake -P) it does the copying: the plugins, the Qt DLLs
# given, and every DLL they need that lies in Qt's own bin folder, found by
# reading their imports.
if(CMAKE_SCRIPT_MODE_FILE)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${OBJDUMP})
  # CMake looks imported DLLs up by their names in lower case: where the file
  # system tells case apart, it searches Qt's folder through links so named.
  set(search ${QT_BIN})
  if(NOT CMAKE_HOST_WIN32)
    set(search ${STAMP}.links)
    file(REMOVE_RECURSE ${search})
    file(MAKE_DIRECTORY ${search})
    file(GLOB qt_dlls ${QT_BIN}/*.dll)
    foreach(dll IN LISTS qt_dlls)
      get_filename_component(name ${dll} NAME)
      string(TOLOWER ${name} name)
      file(CREATE_LINK ${dll} ${search}/${name} SYMBOLIC)
    endforeach()
  endif()
  file(GET_RUNTIME_DEPENDENCIES
    LIBRARIES ${DLLS}
    MODULES ${PLUGINS}
    DIRECTORIES ${search}
    RESOLVED_DEPENDENCIES_VAR needed
    UNRESOLVED_DEPENDENCIES_VAR system
  )
  file(REAL_PATH ${QT_BIN} qt_bin)
  set(from_qt ${DLLS})
  foreach(dll IN LISTS needed)
    file(REAL_PATH ${dll} dll)
    get_filename_component(folder ${dll} DIRECTORY)
    if(folder STREQUAL qt_bin)
      list(APPEND from_qt ${dll})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES from_qt)
  file(COPY ${from_qt} DESTINATION ${DESTINATION})
  foreach(plugin IN LISTS PLUGINS)
    get_filename_component(folder ${plugin} DIRECTORY)
    get_filename_component(kind ${folder} NAME)
    file(COPY ${plugin} DESTINATION ${DESTINATION}/${kind})
  endforeach()
  file(TOUCH ${STAMP})
  return()
endif()

# The deploy step, run when the Qt files change. Only for a shared Qt and
# the GNU tools, whose objdump reads the imports: a static Qt is linked into
# the programs, and with Visual C++ windeployqt does the work.
function(tavrin_deploy_qt)
  get_target_property(core_type Qt6::Core TYPE)
  if(NOT MINGW OR NOT core_type STREQUAL "SHARED_LIBRARY")
    return()
  endif()
  set(dlls $<TARGET_FILE:Qt6::Widgets> $<TARGET_FILE:Qt6::Test>)
  # The Windows platform and style, and the offscreen platform the tests
  # draw on.
  set(plugins "")
  foreach(plugin QWindowsIntegrationPlugin QWindowsVistaStylePlugin QOffscreenIntegrationPlugin)
    if(NOT TARGET Qt6::${plugin})
      message(FATAL_ERROR "This Qt has no ${plugin}")
    endif()
    list(APPEND plugins $<TARGET_FILE:Qt6::${plugin}>)
  endforeach()
  get_property(multi_config GLOBAL PROPERTY GENERATOR_IS_MULTI_CONFIG)
  set(destination ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  if(multi_config)
    string(APPEND destination /$<CONFIG>)
  endif()
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/qt-deployed-$<CONFIG>.stamp)
  # One argument each: the lists' separators are put back when the command runs.
  string(REPLACE ";" "$<SEMICOLON>" dlls_argument "${dlls}")
  string(REPLACE ";" "$<SEMICOLON>" plugins_argument "${plugins}")
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} "-DDLLS=${dlls_argument}" "-DPLUGINS=${plugins_argument}"
            -DQT_BIN=$<TARGET_FILE_DIR:Qt6::Core> -DDESTINATION=${destination}
            -DOBJDUMP=${CMAKE_OBJDUMP} -DSTAMP=${stamp} -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    DEPENDS ${dlls} ${plugins} ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Putting the Qt DLLs and plugins beside the programs"
    VERBATIM
  )
  add_custom_target(tavrin_qt_deploy ALL DEPENDS ${stamp})
endfunction()
