# norvane_public_headers(TARGET HEADER...)
# A library exports only the headers named here: each is linked into
# <build>/include/<target>/, which becomes the library's public include directory, while the
# library's own folder stays private to it. Another folder can then include neither a header
# the library keeps to itself nor, by mistake, a header of the same name from the wrong folder.
function(norvane_public_headers target)
  set(exported ${CMAKE_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${exported})
  file(MAKE_DIRECTORY ${exported})
  foreach(header IN LISTS ARGN)
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${exported}/${header} SYMBOLIC)
  endforeach()
  target_include_directories(${target}
    PUBLIC ${exported}
    PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()
