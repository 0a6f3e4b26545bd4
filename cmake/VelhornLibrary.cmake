# Adds a static library made of this folder's files. It publishes this folder's headers alone, as
# "<folder>/<header>": its include root holds nothing but a link to the folder, so a header of a
# library that the target does not link is not found, and an include that points the wrong way
# fails to compile.
function(velhorn_add_library target)
  add_library(${target} STATIC ${ARGN})
  get_filename_component(folder "${CMAKE_CURRENT_SOURCE_DIR}" NAME)
  set(root "${CMAKE_CURRENT_BINARY_DIR}/include")
  file(MAKE_DIRECTORY "${root}")
  file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${root}/${folder}" SYMBOLIC)
  target_include_directories(${target} PUBLIC "${root}")
  target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()
