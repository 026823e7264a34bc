# The warning set every Parvex target compiles with (link parvex::warnings).
add_library(parvex_warnings INTERFACE)
add_library(parvex::warnings ALIAS parvex_warnings)
target_compile_options(parvex_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
    -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
if(PARVEX_WERROR)
    target_compile_options(parvex_warnings INTERFACE -Werror)
endif()
if(PARVEX_SANITIZE)
    target_compile_options(parvex_warnings INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(parvex_warnings INTERFACE -fsanitize=address,undefined)
endif()
