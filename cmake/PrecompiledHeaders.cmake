# Precompiled headers for every C++ target of the project, chosen by what the target links:
# - every target: the standard library headers most sources use;
# - a target that reaches a Windows system library: windows.h, ole2.h and commctrl.h;
# - a target that reaches the class library: its umbrella header too;
# - a target that reaches GoogleTest: gtest.h.
# Parsing those headers was most of the compile time of a typical source (about 2.4 of 3 to 4.5 s).
# Platform-free libraries (the keyer engine, the keying benchmark's core) link no Windows library and
# so never see a Windows header. Call pellorin_precompile_all() once, after every folder is added.

set(PELLORIN_PCH_STANDARD
  <algorithm> <atomic> <cstdint> <cstring> <functional> <map> <memory> <mutex> <string> <vector>)
set(PELLORIN_PCH_WINDOWS <windows.h> <ole2.h> <commctrl.h>)

# Every target defined below dir in the project's own folders.
function(pellorin_collect_targets dir out)
  get_property(found DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    string(FIND "${sub}" "${PROJECT_SOURCE_DIR}" at)
    if(at EQUAL 0)
      pellorin_collect_targets(${sub} more)
      list(APPEND found ${more})
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Every library the target links, directly or through other targets (generator expressions skipped).
function(pellorin_link_closure target out)
  set(seen "")
  set(work ${target})
  while(work)
    list(POP_FRONT work item)
    if(item IN_LIST seen OR item MATCHES "^\\$<")
      continue()
    endif()
    list(APPEND seen ${item})
    if(TARGET ${item})
      get_target_property(type ${item} TYPE)
      if(NOT type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(direct ${item} LINK_LIBRARIES)
        if(direct)
          list(APPEND work ${direct})
        endif()
      endif()
      get_target_property(iface ${item} INTERFACE_LINK_LIBRARIES)
      if(iface)
        list(APPEND work ${iface})
      endif()
    endif()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Targets with the same header set share one precompiled header, made by a small donor library of
# its own: compiling the same headers once per target cost some 165 MB and 15 to 25 s of one core
# each, for more than thirty targets. The donor takes the include folders and definitions of the
# first target of its set (with what its libraries pass on) without linking it, so it depends on nothing and any target can reuse it.
# Targets with other compile options get another donor; a DLL keeps its own precompiled header.
function(pellorin_precompile_all)
  pellorin_collect_targets(${PROJECT_SOURCE_DIR} targets)
  set(donors "")
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|EXECUTABLE)$")
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    if(NOT sources)
      continue()
    endif()
    pellorin_link_closure(${target} closure)
    set(headers ${PELLORIN_PCH_STANDARD})
    if("ole32" IN_LIST closure OR "user32" IN_LIST closure OR "gdi32" IN_LIST closure)
      list(APPEND headers ${PELLORIN_PCH_WINDOWS})
    endif()
    if("classlib" IN_LIST closure AND NOT target STREQUAL "classlib")
      list(APPEND headers "<classlib/ClassLib.h>")
    endif()
    if("GTest::gtest" IN_LIST closure OR "gtest" IN_LIST closure)
      list(APPEND headers <gtest/gtest.h>)
    endif()
    list(TRANSFORM headers PREPEND "$<$<COMPILE_LANGUAGE:CXX>:")
    list(TRANSFORM headers APPEND ">")

    if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
      target_precompile_headers(${target} PRIVATE ${headers})
      continue()
    endif()

    get_target_property(options ${target} COMPILE_OPTIONS)
    string(MD5 key "${headers}|${options}")
    list(FIND donors ${key} index)
    if(index EQUAL -1)
      list(LENGTH donors index)
      list(APPEND donors ${key})
      set(empty ${CMAKE_BINARY_DIR}/pch/${index}.cpp)
      file(WRITE ${empty} "")
      set(donor pellorin_pch_${index})
      add_library(${donor} STATIC ${empty})
      target_include_directories(${donor} PRIVATE $<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>)
      target_compile_definitions(${donor} PRIVATE $<TARGET_PROPERTY:${target},COMPILE_DEFINITIONS>)
      target_compile_options(${donor} PRIVATE $<TARGET_PROPERTY:${target},COMPILE_OPTIONS>)
      target_precompile_headers(${donor} PRIVATE ${headers})
    endif()
    target_precompile_headers(${target} REUSE_FROM pellorin_pch_${index})
  endforeach()
endfunction()
