# Flags of GCC (mingw-w64). Every compiler has a file like this one, chosen by the top-level
# CMakeLists.txt, that defines what the rest of the build asks of a compiler:
#   kelvo_compiler_flags(target)  warnings; UTF-8 sources with narrow literals stored in code
#                                 page 932
#   kelvo_wide_entry(target)      a console program whose entry point is wmain
# and makes every binary self-contained (no compiler runtime DLLs to ship).
add_link_options(-static -static-libgcc -static-libstdc++)

function(kelvo_compiler_flags target)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra>
        $<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8 -fexec-charset=CP932>)
endfunction()

function(kelvo_wide_entry target)
    target_link_options(${target} PRIVATE -municode)
endfunction()
