# The extension cross-built for 64-bit Windows on Linux (MinGW-w64). It keeps
# to the Stable ABI of CPython 3.11 (src/module/python.h), so it links to
# python3.dll and serves CPython 3.11 and every later version as ondrel.pyd.
# CPython's headers come from its source tree (Include/ and the Windows
# PC/pyconfig.h; scripts/fetch-python-windows-headers fetches them), and the
# import library of python3.dll is made here with dlltool from the names that
# our objects import, each checked against the export table of the real DLL
# (from the embeddable distribution, scripts/fetch-python-windows-embed).
set(ONDREL_PYTHON_WINDOWS_SOURCE "" CACHE PATH "CPython source tree whose Include/ and PC/ the Windows module is built against")
set(ONDREL_PYTHON_WINDOWS_DLL "" CACHE FILEPATH
  "The python3.dll of CPython for Windows x64 that the module links to, with the python3XY.dll it forwards to beside it")
if(NOT EXISTS "${ONDREL_PYTHON_WINDOWS_SOURCE}/PC/pyconfig.h")
  message(FATAL_ERROR "ONDREL_PYTHON_WINDOWS_SOURCE must name a CPython source tree (scripts/fetch-python-windows-headers)")
endif()

set(ONDREL_PYTHON_DLL "python3")
get_filename_component(_dll_name "${ONDREL_PYTHON_WINDOWS_DLL}" NAME)
string(TOLOWER "${_dll_name}" _dll_name)
if(NOT EXISTS "${ONDREL_PYTHON_WINDOWS_DLL}" OR NOT _dll_name STREQUAL "${ONDREL_PYTHON_DLL}.dll")
  message(FATAL_ERROR "ONDREL_PYTHON_WINDOWS_DLL must name a python3.dll (scripts/fetch-python-windows-embed)")
endif()

find_program(ONDREL_HOST_PYTHON NAMES python3 REQUIRED)
find_program(ONDREL_DLLTOOL NAMES ${CMAKE_DLLTOOL} x86_64-w64-mingw32-dlltool REQUIRED)

# The objects of each extension, compiled against CPython's Windows headers.
function(ondrel_python_objects name core)
  add_library(${name} OBJECT ${ARGN})
  target_link_libraries(${name} PRIVATE ${core})
  target_include_directories(${name} SYSTEM PUBLIC
    "${ONDREL_PYTHON_WINDOWS_SOURCE}/Include" "${ONDREL_PYTHON_WINDOWS_SOURCE}/PC")
  # PC/pyconfig.h sets MS_WIN64 for MSVC only; without it the headers describe a 32-bit interpreter.
  target_compile_definitions(${name} PUBLIC MS_WIN64)
  set_target_properties(${name} PROPERTIES CXX_VISIBILITY_PRESET hidden)
endfunction()
ondrel_python_objects(ondrel_module_objects ondrel_core ${ONDREL_MODULE_SOURCES})
ondrel_python_objects(ondrel_computer_module_objects ondrel_computer_core ${ONDREL_COMPUTER_MODULE_SOURCES})

# Fails to compile unless the headers, as configured above, match the DLL's ABI.
add_library(ondrel_python_abi_check OBJECT tests/windows_pyd/python_abi_check.cpp)
target_link_libraries(ondrel_python_abi_check PRIVATE ondrel_module_objects ondrel_core)

set(_def "${CMAKE_CURRENT_BINARY_DIR}/${ONDREL_PYTHON_DLL}.def")
set(_exports "${CMAKE_CURRENT_BINARY_DIR}/${ONDREL_PYTHON_DLL}-exports.txt")
set(_import_library "${CMAKE_CURRENT_BINARY_DIR}/lib${ONDREL_PYTHON_DLL}.a")
set(_stub "${CMAKE_CURRENT_BINARY_DIR}/${ONDREL_PYTHON_DLL}_stub.cpp")
add_custom_command(
  OUTPUT "${_def}" "${_exports}" "${_import_library}" "${_stub}"
  COMMAND "${ONDREL_HOST_PYTHON}" "${PROJECT_SOURCE_DIR}/cmake/python_import_library.py"
    --nm "${CMAKE_NM}" --dll "${ONDREL_PYTHON_WINDOWS_DLL}"
    --def "${_def}" --exports "${_exports}" --stub "${_stub}" "$<TARGET_OBJECTS:ondrel_module_objects>"
    "$<TARGET_OBJECTS:ondrel_computer_module_objects>"
  COMMAND "${ONDREL_DLLTOOL}" --input-def "${_def}" --output-lib "${_import_library}"
  DEPENDS ondrel_module_objects "$<TARGET_OBJECTS:ondrel_module_objects>" ondrel_computer_module_objects
    "$<TARGET_OBJECTS:ondrel_computer_module_objects>" "${ONDREL_PYTHON_WINDOWS_DLL}"
    "${PROJECT_SOURCE_DIR}/cmake/python_import_library.py" "${PROJECT_SOURCE_DIR}/cmake/pe_file.py"
  COMMAND_EXPAND_LISTS
  COMMENT "Import library of ${ONDREL_PYTHON_DLL}.dll")
add_custom_target(ondrel_python_import_library DEPENDS "${_import_library}")

add_library(ondrel MODULE)
target_link_libraries(ondrel PRIVATE ondrel_module_objects ondrel_core "${_import_library}")
add_library(ondrel_computer_native MODULE)
target_link_libraries(ondrel_computer_native PRIVATE ondrel_computer_module_objects ondrel_computer_core "${_import_library}")
foreach(_module ondrel ondrel_computer_native)
  # The headers' ABI check is part of building the module itself.
  add_dependencies(${_module} ondrel_python_import_library ondrel_python_abi_check)
  # No MinGW DLL next to the .pyd: the compiler's runtime and winpthread are linked in.
  target_link_options(${_module} PRIVATE -static)
  set_target_properties(${_module} PROPERTIES PREFIX "" SUFFIX ".pyd")
endforeach()

if(ONDREL_BUILD_TESTS)
  # Under Wine, the .pyd is loaded next to a stand-in python3.dll, without an
  # interpreter, and its test recorder driven; see tests/windows_pyd/.
  set(_stub_dir "${CMAKE_CURRENT_BINARY_DIR}/python-stub")
  add_library(ondrel_python_stub SHARED "${_stub}")
  add_executable(load_pyd tests/windows_pyd/load_pyd.cpp)
  set_target_properties(ondrel_python_stub load_pyd PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${_stub_dir}")
  set_target_properties(ondrel_python_stub PROPERTIES OUTPUT_NAME "${ONDREL_PYTHON_DLL}" PREFIX "")
  target_link_options(ondrel_python_stub PRIVATE -static)
  add_dependencies(load_pyd ondrel ondrel_python_stub)
  add_test(NAME windows_pyd_loads COMMAND load_pyd "$<TARGET_FILE:ondrel>")
endif()
