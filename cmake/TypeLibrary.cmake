# add_type_library(<target> <idl file> <output file> [widl options...])
# Compiles an IDL library block into a type library (.tlb/.olb) with the cross toolchain's widl
# and adds a target that is built by default and produces it. --win64 makes a 64-bit library.
find_program(MALLOWBROOK_WIDL NAMES i686-w64-mingw32-widl widl REQUIRED)

function(add_type_library target idl output)
  get_filename_component(idl ${idl} ABSOLUTE)
  get_filename_component(folder ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${MALLOWBROOK_WIDL} ${ARGN} -t -o ${output} ${idl}
    DEPENDS ${idl}
    COMMENT "Compiling type library ${output}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
