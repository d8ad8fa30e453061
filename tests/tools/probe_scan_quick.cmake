# Runs "engine-probe scan IMAGE --partition N --mode quick" on every FAT partition of the test disks (by its
# start sector with "--start" where no partition row reaches it: the GPT disk's, no-table's third), and
# checks its output against the partition's fls listing (NAME.pN.files.tsv): one well-formed row per
# folder and file, and a summary whose folders, files and deleted counts are fls's, less what the Quick
# Scan does not list (Sleuth Kit's own entries, everything under $OrphanFiles, volume labels); empty
# files are listed like any other. The full comparison of names and sizes is
# recovery_quick_scan_fat_test; this checks the command.
#
#   cmake -DPROBE=... [-DEMULATOR=...] -DDISKS=host-folder -DPROBE_DISKS=folder-as-the-probe-sees-it
#         -P probe_scan_quick.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/probe_script_start.cmake)
probe_script_start(probe_scan_quick.cmake)

# image, the volume as "--partition N" (row N of the table as "engine-probe partitions IMAGE [--search]"
# prints it) or "--start S", fls listing, and --search where the rows come from the search for boot
# sectors. (The GPT disk is one row of code 500 there, which no scan reads.)
set(cases
    "mbr-ext05.vmdk|--partition 1|mbr-ext05.p1.files.tsv|"
    "mbr-ext05.vhdx|--partition 4|mbr-ext05.p5.files.tsv|"
    "mbr-ext05.fixed.vhd|--partition 6|mbr-ext05.p7.files.tsv|"
    "mbr-ext05.vhd|--partition 2|mbr-ext05.p2.files.tsv|"
    "mbr-ext0f.vmdk|--partition 1|mbr-ext0f.p1.files.tsv|"
    "mbr-ext0f.vhd|--partition 2|mbr-ext0f.p5.files.tsv|"
    "big-4g.vmdk|--partition 1|big-4g.p1.files.tsv|"
    "big-4g.vhdx|--partition 2|big-4g.p2.files.tsv|"
    "no-table.vmdk|--partition 1|no-table.p1.files.tsv|--search"
    "no-table.vhd|--start 128583|no-table.p3.files.tsv|"
    "gpt.vmdk|--start 2048|gpt.p1.files.tsv|"
    "gpt.32m.vhdx|--start 2048|gpt.p1.files.tsv|"
    "sample-vfat.vmdk|--partition 1|sample-vfat.p1.files.tsv|")

set(failures 0)
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" case "${case}")
    list(GET case 0 image)
    list(GET case 1 volume_option)
    list(GET case 2 files)
    list(GET case 3 search)

    set(folders 0)
    set(file_count 0)
    set(deleted 0)
    file(STRINGS "${DISKS}/${files}" lines ENCODING UTF-8)
    foreach(line IN LISTS lines)
        if(line MATCHES "^#")
            continue()
        endif()
        string(REPLACE "\t" ";" fields "${line}")
        list(GET fields 1 kind)
        list(GET fields 2 is_deleted)
        list(GET fields 8 path)
        if(NOT (kind STREQUAL "d" OR kind STREQUAL "f") OR path MATCHES "^\\$OrphanFiles")
            continue()
        endif()
        if(kind STREQUAL "d")
            math(EXPR folders "${folders} + 1")
        else()
            math(EXPR file_count "${file_count} + 1")
        endif()
        if(is_deleted STREQUAL "1")
            math(EXPR deleted "${deleted} + 1")
        endif()
    endforeach()

    separate_arguments(volume UNIX_COMMAND "${volume_option}")
    execute_process(COMMAND ${EMULATOR} "${PROBE}" scan "${PROBE_DISKS}${separator}${image}" ${volume}
                            --mode quick ${search}
                    OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
    string(REGEX REPLACE "\n$" "" output "${output}")
    string(REPLACE ";" "," output "${output}")
    string(REPLACE "\n" ";" rows "${output}")
    list(POP_BACK rows summary)
    list(LENGTH rows row_count)
    set(bad_rows 0)
    foreach(scan_row IN LISTS rows)
        if(NOT scan_row MATCHES "^[DF]\t[01]\t[0-9]+\t[0-9]+\t[^\t]+$")
            math(EXPR bad_rows "${bad_rows} + 1")
        endif()
    endforeach()
    math(EXPR expected_rows "${folders} + ${file_count}")
    set(expected_summary "summary\t${folders}\t${file_count}\t${deleted}")
    if(NOT result EQUAL 0 OR NOT summary STREQUAL expected_summary OR NOT row_count EQUAL expected_rows
       OR NOT bad_rows EQUAL 0)
        message(SEND_ERROR "${image} ${volume_option}: exit ${result}, ${row_count} rows (${bad_rows} malformed), "
                           "'${summary}' where fls gives '${expected_summary}' ${errors}")
        math(EXPR failures "${failures} + 1")
    else()
        message(STATUS "${image} ${volume_option}: ${summary}")
    endif()
endforeach()
if(failures GREATER 0)
    message(FATAL_ERROR "${failures} of the probe's scans differ from fls")
endif()
