# Flags of GCC (mingw-w64). Every compiler has a file like this one, chosen by the top-level
# CMakeLists.txt, that defines what the rest of the build asks of a compiler:
#   kelvo_compiler_flags(target)  warnings; UTF-8 sources with narrow literals stored in code
#                                 page 932; stack protection
#   kelvo_wide_entry(target)      a console program whose entry point is wmain
#   kelvo_release_program(target) what ships: no symbol table
# and makes every binary self-contained (no compiler runtime DLLs to ship) and reproducible:
# no time stamp in the PE header and no build folder in any file.
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)
# mingw-w64 keeps the stack protector's check and guard in libssp: the flag on the link line
# links it (statically, like the rest).
add_link_options(-fstack-protector-strong)

# The oldest Windows the manifest declares (7, i.e. 6.1) and the header's protections: ASLR,
# DEP, and no compatibility shims for Remote Desktop sessions; 64-bit ASLR with the full range.
set(kelvo_windows_version -Wl,--major-os-version,6,--minor-os-version,1
    -Wl,--major-subsystem-version,6,--minor-subsystem-version,1)
add_link_options(${kelvo_windows_version} -Wl,--dynamicbase,--nxcompat,--tsaware)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(-Wl,--high-entropy-va)
endif()

function(kelvo_compiler_flags target)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra
        -fstack-protector-strong -ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>
        $<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8 -fexec-charset=CP932>)
endfunction()

function(kelvo_wide_entry target)
    target_link_options(${target} PRIVATE -municode)
endfunction()

function(kelvo_release_program target)
    target_link_options(${target} PRIVATE -s)
endfunction()
