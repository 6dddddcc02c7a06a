# Man pages for the three programs, written at build time by help2man from
# their own --help and --version (so they never drift from the programs),
# with the one-line name and the sections --help does not tell from
# packaging/man/<program>.h2m.
find_program(KRV_HELP2MAN help2man)
if(NOT KRV_HELP2MAN OR NOT KRV_GZIP)
  message(STATUS "help2man or gzip not found: no man pages (tools/install-deps.sh installs help2man)")
  return()
endif()

set(krv_man_env "")
if(KRV_SANITIZE)
  # Qt's own start-up allocations are not ours to chase in a build step.
  list(APPEND krv_man_env ASAN_OPTIONS=detect_leaks=0)
endif()
set(krv_man_pages "")
foreach(program IN LISTS krv_programs)
  set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
  set(include ${CMAKE_CURRENT_LIST_DIR}/man/${program}.h2m)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E env ${krv_man_env} ${KRV_HELP2MAN} --no-info --section=1
            --include=${include} --output=${page} $<TARGET_FILE:${program}>
    COMMAND ${KRV_GZIP} -9nf ${page}
    DEPENDS ${program} ${include}
    COMMENT "Writing the man page of ${program}"
    VERBATIM)
  list(APPEND krv_man_pages ${page}.gz)
endforeach()
add_custom_target(krv_man ALL DEPENDS ${krv_man_pages})
install(FILES ${krv_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
