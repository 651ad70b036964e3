# Copies the installation data (headers, libraries, configuration, startup
# source) into the stage; run by the stage_data target on every build.
file(MAKE_DIRECTORY ${DST}/bin ${DST}/config/zun09 ${DST}/include ${DST}/lib/zun09 ${DST}/src/startup/zun09)
if(EXISTS ${SRC})
  file(COPY ${SRC}/ DESTINATION ${DST} PATTERN examples EXCLUDE)
  # The examples are the user's to change and build: only files missing from
  # the stage are copied, so a rebuild never takes back an edit.
  file(GLOB_RECURSE examples RELATIVE ${SRC}/examples ${SRC}/examples/*)
  foreach(file ${examples})
    if(NOT EXISTS ${DST}/examples/${file})
      get_filename_component(dir ${DST}/examples/${file} DIRECTORY)
      file(COPY ${SRC}/examples/${file} DESTINATION ${dir})
    endif()
  endforeach()
endif()
