# mingw-w64's i686 runtime has no import library for compstui.dll; make one
# from its four exports when the toolchain lacks it, so -lcompstui links.
if(NOT EXISTS ${CMAKE_FIND_ROOT_PATH}/lib/libcompstui.a)
  set(implib_dir ${CMAKE_BINARY_DIR}/implib)
  file(MAKE_DIRECTORY ${implib_dir})
  execute_process(COMMAND ${CMAKE_DLLTOOL} -k -d ${CMAKE_CURRENT_LIST_DIR}/compstui-i686.def
                          -l ${implib_dir}/libcompstui.a
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dlltool could not make the compstui import library")
  endif()
  link_directories(${implib_dir})
endif()
