# System libraries that are not "known DLLs" would be looked up in the
# program's own folder first when imported normally: a portable tool runs
# from a downloads folder, where anyone can drop a DLL beside it. These are
# linked for delay loading instead, so they load on first use, after the
# program has restricted the library search to the system folder.
#
# fontiva_delay_library(<name>) defines the imported target delay::<name>
# for lib<name>.a / <name>.dll.
function(fontiva_delay_library name)
    if(TARGET delay_${name})
        return()
    endif()
    if(MSVC)
        add_library(delay_${name} INTERFACE)
        target_link_libraries(delay_${name} INTERFACE ${name} delayimp)
        target_link_options(delay_${name} INTERFACE /DELAYLOAD:${name}.dll)
        add_library(delay::${name} ALIAS delay_${name})
        return()
    endif()
    find_file(${name}_IMPORT_LIB lib${name}.a PATHS ${CMAKE_FIND_ROOT_PATH}/lib NO_DEFAULT_PATH)
    set(output ${CMAKE_BINARY_DIR}/delay/lib${name}_delay.a)
    add_custom_command(OUTPUT ${output} ${CMAKE_BINARY_DIR}/delay/lib${name}_delay.rsp
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delay
        COMMAND sh ${CMAKE_SOURCE_DIR}/tools/make_delay_lib.sh ${CMAKE_NM} ${CMAKE_DLLTOOL}
                ${${name}_IMPORT_LIB} ${name}.dll ${output}
        DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_delay_lib.sh
        COMMENT "Delay-load library for ${name}.dll")
    add_custom_target(delay_${name}_build DEPENDS ${output})
    # Linking the interface library carries the build-order dependency on
    # the generated library to every target that uses it.
    add_library(delay_${name} INTERFACE)
    target_link_libraries(delay_${name} INTERFACE ${output})
    target_link_options(delay_${name} INTERFACE @${CMAKE_BINARY_DIR}/delay/lib${name}_delay.rsp)
    add_dependencies(delay_${name} delay_${name}_build)
    add_library(delay::${name} ALIAS delay_${name})
endfunction()
