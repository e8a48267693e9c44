# labelsetup_add_test(NAME SOURCES file... [USB] [LIBS lib...])
# Declares one Qt Test executable and registers it with CTest. It links the core library; a test
# of the window or the command line names their libraries in LIBS. USB tests run the real libusb code
# against virtual printers: they link the virtual printer and load umockdev's preload library
# before libc, so every /dev/bus/usb access goes to the emulated devices. What the tests record
# in the history goes to the build tree, never to the user's own.
function(labelsetup_add_test name)
  cmake_parse_arguments(T "USB" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE labelsetup_core_program Qt5::Test ${T_LIBS})
  if(T_USB)
    target_link_libraries(${name} PRIVATE virtualprinter)
    target_link_options(${name} PRIVATE -Wl,--push-state,--no-as-needed -lumockdev-preload -Wl,--pop-state)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TMPDIR=/tmp;XDG_STATE_HOME=${CMAKE_BINARY_DIR}/test-state;ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp"
    TIMEOUT 300)
endfunction()
