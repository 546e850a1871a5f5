# What the Debian package holds besides the programs, desktop entry and icons:
# the copyright file, the changelog, a manual page for each program made with
# help2man from its --help, and portwright-cli's bash completion made from its
# --help too. Made at build time in <build>/package-files.
include(GNUInstallDirs)
set(pw_files ${PROJECT_BINARY_DIR}/package-files)
file(MAKE_DIRECTORY ${pw_files})
find_program(PW_HELP2MAN help2man REQUIRED)

# One date for the changelog and the manual pages, so that the same commit packs
# the same files: SOURCE_DATE_EPOCH when set, else the last commit's time.
set(pw_epoch "$ENV{SOURCE_DATE_EPOCH}")
if(pw_epoch STREQUAL "")
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE pw_epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
# A new commit configures the build again, so the date follows it.
execute_process(COMMAND git rev-parse --git-path logs/HEAD WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                OUTPUT_VARIABLE pw_head_log OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
get_filename_component(pw_head_log "${pw_head_log}" ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
if(EXISTS "${pw_head_log}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${pw_head_log})
endif()
if(NOT pw_epoch MATCHES "^[0-9]+$")
  string(TIMESTAMP pw_epoch "%s" UTC)
endif()
set(pw_saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${pw_epoch})
string(TIMESTAMP PW_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ENV{SOURCE_DATE_EPOCH} ${pw_saved_epoch})
# Rewritten only when the date changes: the manual pages are made again then.
file(CONFIGURE OUTPUT ${pw_files}/epoch CONTENT "${pw_epoch}\n")

# Debian's changelog, compressed as Debian compresses it: -9, no name, no time.
configure_file(${PROJECT_SOURCE_DIR}/resources/changelog.in ${pw_files}/changelog @ONLY)
execute_process(COMMAND gzip -9nc ${pw_files}/changelog OUTPUT_FILE ${pw_files}/changelog.gz
                COMMAND_ERROR_IS_FATAL ANY)

# The programs run for their --help over a throwaway prefix: a build never
# touches the user's store.
set(pw_run ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${pw_epoch} LC_ALL=C.UTF-8
    PORTWRIGHT_PREFIX=${pw_files}/prefix)
add_custom_command(
  OUTPUT ${pw_files}/portwright-cli ${pw_files}/portwright-cli.h2m
  COMMAND ${pw_run} ${PROJECT_SOURCE_DIR}/scripts/make-cli-docs $<TARGET_FILE:portwright-cli>
          ${pw_files}/portwright-cli ${pw_files}/portwright-cli.h2m
  DEPENDS portwright-cli ${PROJECT_SOURCE_DIR}/scripts/make-cli-docs
  COMMENT "Making portwright-cli's bash completion and its manual's commands from its --help"
  VERBATIM)
file(CONFIGURE OUTPUT ${pw_files}/portwright.h2m CONTENT "[SEE ALSO]\n.BR portwright-cli (1)\n")
set(pw_summary_portwright "the window that composes and writes the RPC proxy's ValidPorts registry value")
set(pw_summary_portwright-cli "compose, check, write and undo the RPC proxy's ValidPorts registry value")
set(pw_pages "")
foreach(program IN ITEMS portwright portwright-cli)
  set(page ${pw_files}/${program}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${pw_run} ${PW_HELP2MAN} --no-info --section 1 --name ${pw_summary_${program}}
            --include ${pw_files}/${program}.h2m --output ${page} $<TARGET_FILE:${program}>
    COMMAND gzip -9nf ${page}
    DEPENDS ${program} ${pw_files}/${program}.h2m ${pw_files}/epoch
    COMMENT "Making the manual page of ${program} with help2man"
    VERBATIM)
  list(APPEND pw_pages ${page}.gz)
endforeach()
add_custom_target(pw_package_files ALL DEPENDS ${pw_pages} ${pw_files}/portwright-cli)

# The compilers' names in .comment are of no use to the programs' users: gone,
# as Debian's own packages strip them (CPack then strips the rest).
install(CODE "
  foreach(program IN ITEMS portwright portwright-cli)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endforeach()")

set(pw_doc ${CMAKE_INSTALL_DATADIR}/doc/portwright)
install(FILES ${PROJECT_SOURCE_DIR}/resources/copyright ${pw_files}/changelog.gz DESTINATION ${pw_doc})
install(FILES ${pw_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${pw_files}/portwright-cli DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

if(PORTWRIGHT_TESTS)
  add_test(NAME package_cli_completion
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/packaging/completion-test.sh ${pw_files}/portwright-cli)
  add_test(NAME package_window_help_version
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/packaging/window-info-test.sh $<TARGET_FILE:portwright>
                   ${PROJECT_VERSION})
endif()
