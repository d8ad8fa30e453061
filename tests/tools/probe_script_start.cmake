# The start of the scripts that run engine-probe over the test disks: the -D values the script needs
# (PROBE, DISKS and PROBE_DISKS, then its own), the disks made, and the separator of the folder as the
# probe sees it ("\" for a Windows probe) in `separator`.
function(probe_script_start script)
    foreach(required PROBE DISKS PROBE_DISKS ${ARGN})
        if(NOT DEFINED ${required})
            message(FATAL_ERROR "${script} needs -D${required}=...")
        endif()
    endforeach()
    if(NOT EXISTS "${DISKS}/.stamp")
        message(FATAL_ERROR "run tools/make-test-disks first (${DISKS})")
    endif()
    if(PROBE_DISKS MATCHES "\\\\")
        set(separator "\\" PARENT_SCOPE)
    else()
        set(separator "/" PARENT_SCOPE)
    endif()
endfunction()
