# GoogleTest from Debian's sources (/usr/src/googletest), built with whatever
# compiler this build uses: the cross compiler for Windows, gcc for the host.
#
#   pix_add_test(NAME name SOURCES a.cpp ... [LIBS lib ...] [TIMEOUT s] [LABELS l ...])
#
# adds one test executable and registers it with ctest as one test. Windows
# tests run under Wine through CMAKE_CROSSCOMPILING_EMULATOR (scripts/wine-run),
# with the build's bin folder as working directory so PIXRES.DLL and the other
# deliverables are found beside them.

set(PIX_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")

if(PIX_TESTS AND NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  add_subdirectory(${PIX_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own warnings are not ours to fix.
  foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
      target_compile_options(${t} PRIVATE -w)
    endif()
  endforeach()
endif()

# Tests labelled "gui" share one screen, one mouse and one keyboard focus:
# two at a time would move each other's pointer and steal each other's
# activation, so they take turns; the other tests still run beside them.
# Runs once at the end of each test folder, after its own test properties.
function(pix_lock_gui_tests)
  get_property(tests DIRECTORY PROPERTY TESTS)
  foreach(t ${tests})
    get_test_property(${t} LABELS labels)
    if(labels AND "gui" IN_LIST labels)
      set_property(TEST ${t} APPEND PROPERTY RESOURCE_LOCK pixalon_display)
    endif()
  endforeach()
endfunction()

function(pix_schedule_gui_lock)
  get_property(done DIRECTORY PROPERTY PIX_GUI_LOCK_SCHEDULED)
  if(NOT done)
    set_property(DIRECTORY PROPERTY PIX_GUI_LOCK_SCHEDULED TRUE)
    cmake_language(DEFER CALL pix_lock_gui_tests)
  endif()
endfunction()

function(pix_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gmock gtest_main)
  if(WIN32)
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  else()
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  endif()
  pix_schedule_gui_lock()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no
           WORKING_DIRECTORY $<TARGET_FILE_DIR:${T_NAME}>)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
