# comserver_add_interfaces(<target> <file.idl>)
# Compiles the IDL with widl into a type library, a C++ header and the GUID definitions, and makes
# <target> a static library holding the GUIDs whose users see the generated header.
# Properties set: COMSERVER_TLB (the .tlb path) and COMSERVER_IDL_DIR (the output folder) on <target>.
set(COMSERVER_WIDL_INCLUDE /usr/include/wine/wine/windows CACHE PATH "Folder of oaidl.idl and ocidl.idl")
set(COMSERVER_STDOLE_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH "Folder of stdole2.tlb")

function(comserver_add_interfaces target idl)
  get_filename_component(idl ${idl} ABSOLUTE)
  get_filename_component(name ${idl} NAME_WE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/idl)
  set(widl ${PELLORIN_WIDL} -m64 -I ${COMSERVER_WIDL_INCLUDE} -L ${COMSERVER_STDOLE_DIR})
  add_custom_command(
    OUTPUT ${out}/${name}.tlb ${out}/${name}_h.h ${out}/${name}_i.c
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND ${widl} -t -o ${out}/${name}.tlb ${idl}
    COMMAND ${widl} -h -o ${out}/${name}_h.h ${idl}
    COMMAND ${widl} -u -o ${out}/${name}_i.c ${idl}
    DEPENDS ${idl}
    COMMENT "widl ${name}.idl"
    VERBATIM)
  add_library(${target} STATIC ${out}/${name}_i.c ${out}/${name}_h.h ${out}/${name}.tlb)
  target_include_directories(${target} PUBLIC ${out})
  set_target_properties(${target} PROPERTIES
    LINKER_LANGUAGE C
    COMSERVER_TLB ${out}/${name}.tlb
    COMSERVER_IDL_DIR ${out})
endfunction()
