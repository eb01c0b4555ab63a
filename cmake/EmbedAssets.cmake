# fontiva_embed_assets: compiles picture files into a target.
#
#   fontiva_embed_assets(TARGET <target> NAME <Name>
#                        FILES <name>=<path> [<name>=<path> ...])
#
# Generates ${CMAKE_BINARY_DIR}/generated/<Name>.h and <Name>.cpp with
# tools/embed_assets.py. The header declares, in namespace <Name>, one
# `extern const EmbeddedBytes <name>;` per file (toolkit/EmbeddedBytes.h).
# Relative paths are taken from ${CMAKE_SOURCE_DIR}. The generated source is
# added to the target, and the generated folder and ${CMAKE_SOURCE_DIR} become
# PUBLIC include directories of it. Call it in the directory that creates the
# target, so the build knows which rule produces the generated source.

include_guard(GLOBAL)

find_package(Python3 COMPONENTS Interpreter REQUIRED)

set(FONTIVA_EMBED_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/../tools/embed_assets.py")
get_filename_component(FONTIVA_EMBED_SCRIPT "${FONTIVA_EMBED_SCRIPT}" ABSOLUTE)

function(fontiva_embed_assets)
    cmake_parse_arguments(PARSE_ARGV 0 EMBED "" "TARGET;NAME" "FILES")
    if(EMBED_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "fontiva_embed_assets: unexpected arguments: ${EMBED_UNPARSED_ARGUMENTS}")
    endif()
    if(NOT EMBED_TARGET OR NOT TARGET "${EMBED_TARGET}")
        message(FATAL_ERROR "fontiva_embed_assets: TARGET must name an existing target")
    endif()
    if(NOT EMBED_NAME MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
        message(FATAL_ERROR "fontiva_embed_assets: NAME '${EMBED_NAME}' is not a C++ identifier")
    endif()
    if(NOT EMBED_FILES)
        message(FATAL_ERROR "fontiva_embed_assets: no FILES given for ${EMBED_NAME}")
    endif()

    if(NOT Python3_EXECUTABLE)
        find_package(Python3 COMPONENTS Interpreter REQUIRED)
    endif()

    set(script_args "")
    set(inputs "")
    foreach(entry IN LISTS EMBED_FILES)
        string(FIND "${entry}" "=" eq)
        if(eq LESS 1)
            message(FATAL_ERROR "fontiva_embed_assets: expected name=path, got '${entry}'")
        endif()
        string(SUBSTRING "${entry}" 0 ${eq} asset_name)
        math(EXPR path_start "${eq} + 1")
        string(SUBSTRING "${entry}" ${path_start} -1 asset_path)
        if(NOT IS_ABSOLUTE "${asset_path}")
            set(asset_path "${CMAKE_SOURCE_DIR}/${asset_path}")
        endif()
        list(APPEND inputs "${asset_path}")
        list(APPEND script_args "${asset_name}=${asset_path}")
    endforeach()

    set(out_dir "${CMAKE_BINARY_DIR}/generated")
    set(out_header "${out_dir}/${EMBED_NAME}.h")
    set(out_source "${out_dir}/${EMBED_NAME}.cpp")

    add_custom_command(
        OUTPUT "${out_header}" "${out_source}"
        COMMAND "${Python3_EXECUTABLE}" "${FONTIVA_EMBED_SCRIPT}"
                "${out_dir}" "${EMBED_NAME}" ${script_args}
        DEPENDS ${inputs} "${FONTIVA_EMBED_SCRIPT}"
        COMMENT "Embedding ${EMBED_NAME} assets"
        VERBATIM)

    target_sources("${EMBED_TARGET}" PRIVATE "${out_source}" "${out_header}")
    target_include_directories("${EMBED_TARGET}" PUBLIC "${out_dir}" "${CMAKE_SOURCE_DIR}")
endfunction()
