# Package configuration of protoglean, found by find_package(protoglean).
# Provides the imported executable protoglean::protoglean and the function
# protoglean_generate().
include(${CMAKE_CURRENT_LIST_DIR}/protogleanTargets.cmake)

# protoglean_generate(OUTPUT <header> SOURCES <source>... [TARGET <target>])
#
# Adds the custom command that writes <header> from the marked C sources with
# protoglean, and runs it again whenever one of the sources or the protoglean
# executable changes. protoglean leaves the header untouched when its text
# stays the same, so only the changed source is compiled again.
#
# With TARGET, <header> becomes a source of <target> and its folder joins
# the target's include path, so that the target's files can include it by
# its name and it exists before they compile. Without it, list the header's
# full path among a target's sources (or make a target depend on it).
#
# A relative OUTPUT lies in the current binary directory, relative SOURCES
# in the current source directory; the header names each source by its path
# from there. protoglean takes "*" and "?" in its inputs as wildcards, so a
# source path holding either would name every file that matches it: keep
# them out of source paths.
function(protoglean_generate)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "OUTPUT;TARGET" "SOURCES")
  if(NOT arg_OUTPUT OR NOT arg_SOURCES OR arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR
      "usage: protoglean_generate(OUTPUT <header> SOURCES <source>... [TARGET <target>])")
  endif()
  if(arg_TARGET AND NOT TARGET ${arg_TARGET})
    message(FATAL_ERROR "protoglean_generate: ${arg_TARGET} is no target (add it first)")
  endif()
  get_filename_component(output ${arg_OUTPUT} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_BINARY_DIR})
  get_filename_component(output_dir ${output} DIRECTORY)
  file(MAKE_DIRECTORY ${output_dir})

  # Inputs relative to the current source directory, where the command runs,
  # so that the header names them as a reader knows them.
  set(sources)
  set(inputs)
  foreach(source IN LISTS arg_SOURCES)
    get_filename_component(source ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    file(RELATIVE_PATH input ${CMAKE_CURRENT_SOURCE_DIR} ${source})
    list(APPEND sources ${source})
    list(APPEND inputs ${input})
  endforeach()
  # protoglean first.c :second.c ... header: every input after the first
  # starts with ":"; the output, an absolute path, never starts with "+".
  # (POP_FRONT: SUBLIST refuses to start past the end of a list of one.)
  set(more ${inputs})
  list(POP_FRONT more first)
  list(TRANSFORM more PREPEND :)

  get_filename_component(name ${output} NAME)
  add_custom_command(
    OUTPUT ${output}
    COMMAND protoglean::protoglean ${first} ${more} ${output}
    DEPENDS ${sources} protoglean::protoglean
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    COMMENT "Extracting prototypes into ${name}"
    VERBATIM)

  if(arg_TARGET)
    target_sources(${arg_TARGET} PRIVATE ${output})
    target_include_directories(${arg_TARGET} PRIVATE ${output_dir})
  endif()
endfunction()
