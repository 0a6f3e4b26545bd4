# Dependencies run one way: app -> calculator -> flow, and calculator -> about.
# Run with -DROOT=<source dir>; fails on the first include that points the wrong way.
function(check folder pattern why)
  file(GLOB_RECURSE sources "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
  foreach(source ${sources})
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${includes})
      if(line MATCHES "${pattern}")
        message(FATAL_ERROR "${source}: '${line}' - ${why}")
      endif()
    endforeach()
  endforeach()
endfunction()

check(flow "<Q|\"(calculator|about|app)/" "the flow core uses the standard library only")
check(about "\"(calculator|app|flow)/" "the About window knows nothing of the calculator")
check(calculator "\"app/" "nothing includes the entry point")

# The flow library links nothing beyond the standard library.
file(READ "${ROOT}/flow/CMakeLists.txt" flowBuild)
if(flowBuild MATCHES "target_link_libraries")
  message(FATAL_ERROR "flow/CMakeLists.txt links a library")
endif()
message(STATUS "layering holds")
