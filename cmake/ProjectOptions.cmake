# Our warnings apply to our own targets only; SDL, GL and GoogleTest come in as SYSTEM includes.
function(tarvo_apply_options target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wold-style-cast
        -Wcast-align -Wconversion -Wnull-dereference -Wimplicit-fallthrough -Wsuggest-override -Wformat=2)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${target} PRIVATE -Wduplicated-cond -Wlogical-op)
    endif()
    if(TARVO_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

if(CMAKE_BUILD_TYPE STREQUAL "Debug")
    add_compile_definitions(_GLIBCXX_ASSERTIONS)
endif()

if(TARVO_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "TARVO_FUZZ needs clang (libFuzzer)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
elseif(TARVO_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# Executables of the sanitizer build keep dlopen'ed modules loaded, so that leak reports can name them.
function(tarvo_executable_options target)
    tarvo_apply_options(${target})
    if(TARVO_SANITIZE)
        target_link_libraries(${target} PRIVATE tarvo_keep_modules)
        target_link_options(${target} PRIVATE -Wl,--export-dynamic-symbol=dlclose)
    endif()
endfunction()
