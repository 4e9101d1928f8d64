# Warnings for the project's own targets only, never for third-party code.
function(veltrano_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
                                             -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
                                             # designated initializers leave defaulted members out on purpose
                                             -Wno-missing-field-initializers)
    if(VELTRANO_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
