# brightmere_delay_load(TARGET DLL...): TARGET loads each named system DLL at the
# first call into it instead of at its start. A run that never calls into a DLL
# never loads it: the switcher's quiet command line loads no window, shell or COM
# library, so it starts as fast as a plain program and no DLL's start-up code opens
# a desktop or reaches for a COM service (comctl32's registers window classes,
# which under Wine starts a desktop process that waits for the RPC service).
# Delay-loaded DLLs come from the same place as imported ones: the program sets the
# system folder as the only search path before anything loads (HardenLibrarySearch),
# and comctl32 comes through the manifest's side-by-side version either way.
#
# MSVC: /DELAYLOAD. MinGW: for each DLL a delay-import library of the same name
# (made from the toolchain's import library by nm and dlltool) in a folder that the
# target's link searches first, so that every "-lDLL" of the target's link, its own
# and those its libraries bring, takes the delayed form.
function(brightmere_delay_load target)
    if(MSVC)
        foreach(dll IN LISTS ARGN)
            target_link_options(${target} PRIVATE /DELAYLOAD:${dll}.dll)
        endforeach()
        target_link_libraries(${target} PRIVATE delayimp)
        return()
    endif()
    if(NOT MINGW)
        return()
    endif()
    set(folder ${CMAKE_BINARY_DIR}/delay-load)
    file(MAKE_DIRECTORY ${folder})
    foreach(dll IN LISTS ARGN)
        find_library(import_${dll} NAMES lib${dll}.a NO_CACHE REQUIRED)
        execute_process(COMMAND ${CMAKE_NM} ${import_${dll}} OUTPUT_VARIABLE symbols
                        COMMAND_ERROR_IS_FATAL ANY)
        # "__imp_Name" (x86-64) or "__imp__Name@N" (i686, where C names carry a
        # leading underscore) for each function the DLL exports by name.
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
            set(prefix "__imp__")
        else()
            set(prefix "__imp_")
        endif()
        string(REGEX MATCHALL " I ${prefix}[A-Za-z0-9_@?$]+" entries "${symbols}")
        list(TRANSFORM entries REPLACE " I ${prefix}" "")
        list(REMOVE_DUPLICATES entries)
        list(JOIN entries "\n" exports)
        file(WRITE ${folder}/${dll}.def "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
        # --kill-at: the DLL's names carry no "@N"; the program's references do.
        execute_process(COMMAND ${CMAKE_DLLTOOL} --kill-at --def ${folder}/${dll}.def
                                --dllname ${dll}.dll --output-delaylib ${folder}/lib${dll}.a
                        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    target_link_directories(${target} BEFORE PRIVATE ${folder})
endfunction()
