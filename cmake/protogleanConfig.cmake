# Package configuration of protoglean, found by find_package(protoglean).
# Provides the imported executable protoglean::protoglean and the function
# protoglean_generate().
include(${CMAKE_CURRENT_LIST_DIR}/protogleanTargets.cmake)

# protoglean_generate(OUTPUT <header> SOURCES <source>... [TARGET <target>])
#
# Adds the custom command that writes <header> from the marked C sources with
# protoglean, and runs it again whenever one of the sources or the protoglean
# executable changes. protoglean leaves the header untouched when its text
# stays the same, so only the changed source is compiled again. The command
# then writes a stamp file (in CMakeFiles/protoglean_generate/ of the current
# binary directory), which make and ninja go by instead of the header: one
# run after a change, none on the builds after it.
#
# With TARGET, <header> and its stamp become sources of <target> and the
# header's folder joins the target's include path, so that the target's
# files can include it by its name and it exists before they compile.
# Without it, the custom target protoglean_<name> writes the header, where
# <name> is the header's path from the top of the build tree with every
# character other than a letter, a digit or "_" made "_" (proto.h gives
# protoglean_proto_h): make the targets that include the header depend on
# it (add_dependencies).
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

  # protoglean leaves an unchanged header as it was, older than its
  # sources; make would then run it on every build. The stamp, written
  # after each run, is the rule's output instead, the header its byproduct.
  get_filename_component(name ${output} NAME)
  file(RELATIVE_PATH stamp_name ${CMAKE_BINARY_DIR} ${output})
  string(MAKE_C_IDENTIFIER "${stamp_name}" stamp_name)
  set(stamp_dir ${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/protoglean_generate)
  file(MAKE_DIRECTORY ${stamp_dir})
  set(stamp ${stamp_dir}/${stamp_name}.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    BYPRODUCTS ${output}
    COMMAND protoglean::protoglean ${first} ${more} ${output}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${sources} protoglean::protoglean
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    COMMENT "Extracting prototypes into ${name}"
    VERBATIM)

  if(arg_TARGET)
    target_sources(${arg_TARGET} PRIVATE ${stamp} ${output})
    target_include_directories(${arg_TARGET} PRIVATE ${output_dir})
  else()
    add_custom_target(protoglean_${stamp_name} DEPENDS ${stamp} SOURCES ${output})
  endif()
endfunction()
