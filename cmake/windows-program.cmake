# The Windows program, ledbanner.exe, and the helper programs of the end-to-end tests.
#
# Included by the top-level CMakeLists.txt when building for Windows.

enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(LEDBANNER_RES_DIR ${PROJECT_SOURCE_DIR}/res)
set(LEDBANNER_GENERATED_RES_DIR ${PROJECT_BINARY_DIR}/res)
set(LEDBANNER_ICON ${LEDBANNER_GENERATED_RES_DIR}/ledbanner.ico)

# Gives a MinGW executable the C and C++ runtimes and winpthread inside itself, so that it needs
# nothing but the system's own DLLs, on a bare Windows as under Wine.
function(ledbanner_link_runtime_statically target)
  if(MINGW)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  elseif(MSVC)
    set_property(TARGET ${target} PROPERTY MSVC_RUNTIME_LIBRARY
                                           "MultiThreaded$<$<CONFIG:Debug>:Debug>")
  endif()
endfunction()

add_custom_command(
  OUTPUT ${LEDBANNER_ICON}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LEDBANNER_GENERATED_RES_DIR}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/make_icon.py ${LEDBANNER_ICON}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/make_icon.py
  COMMENT "Drawing the program icon"
  VERBATIM)

file(GLOB LEDBANNER_WIN32_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/platform/win32/*.cpp)
add_executable(ledbanner WIN32
  ${PROJECT_SOURCE_DIR}/src/app/main_win32.cpp
  ${LEDBANNER_WIN32_SOURCES}
  ${LEDBANNER_RES_DIR}/ledbanner.rc
  ${LEDBANNER_ICON})
# The resource compiler does not see the icon and the manifest as dependencies by itself.
set_source_files_properties(${LEDBANNER_RES_DIR}/ledbanner.rc PROPERTIES
  OBJECT_DEPENDS "${LEDBANNER_ICON};${LEDBANNER_RES_DIR}/ledbanner.manifest")
# The resource compiler looks for the icon and the manifest on the include path.
target_include_directories(ledbanner PRIVATE
  $<$<COMPILE_LANGUAGE:RC>:${LEDBANNER_GENERATED_RES_DIR}>
  $<$<COMPILE_LANGUAGE:RC>:${LEDBANNER_RES_DIR}>)
target_compile_definitions(ledbanner PRIVATE
  UNICODE _UNICODE
  $<$<COMPILE_LANGUAGE:RC>:LEDBANNER_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}>
  $<$<COMPILE_LANGUAGE:RC>:LEDBANNER_VERSION_MINOR=${PROJECT_VERSION_MINOR}>)
target_link_libraries(ledbanner PRIVATE ledbanner_core user32 gdi32 kernel32)
if(MINGW)
  # The entry point is wWinMain.
  target_link_options(ledbanner PRIVATE -municode)
elseif(MSVC)
  # The manifest comes from ledbanner.rc; a second one from the linker would collide with it.
  target_link_options(ledbanner PRIVATE /MANIFEST:NO)
endif()
ledbanner_link_runtime_statically(ledbanner)

# Every tests/e2e/tools/NAME.cpp is a console program NAME.exe on its own, without the core.
file(GLOB LEDBANNER_E2E_TOOL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/e2e/tools/*.cpp)
foreach(source IN LISTS LEDBANNER_E2E_TOOL_SOURCES)
  get_filename_component(tool ${source} NAME_WE)
  add_executable(${tool} ${source})
  target_compile_definitions(${tool} PRIVATE UNICODE _UNICODE)
  target_link_libraries(${tool} PRIVATE user32 gdi32 kernel32)
  # A tool whose entry point is wmain needs MinGW's Unicode startup code.
  file(READ ${source} tool_text)
  if(MINGW AND tool_text MATCHES "(^|[^A-Za-z0-9_])wmain[ \t\r\n]*\\(")
    target_link_options(${tool} PRIVATE -municode)
  endif()
  ledbanner_link_runtime_statically(${tool})
endforeach()

if(EXISTS ${PROJECT_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  enable_testing()
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/e2e)
endif()
