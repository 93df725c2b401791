# program_version: the header ProgramVersion.h with the project's version as kProgramVersion,
# the one version text of every program and of the record.
set(NORVANE_VERSION_INCLUDE ${CMAKE_BINARY_DIR}/include/program_version)
configure_file(${CMAKE_CURRENT_LIST_DIR}/ProgramVersion.h.in
               ${NORVANE_VERSION_INCLUDE}/ProgramVersion.h @ONLY)
add_library(program_version INTERFACE)
target_include_directories(program_version INTERFACE ${NORVANE_VERSION_INCLUDE})
