# Copies the installation data (headers, libraries, configuration, startup
# source) into the stage; run by the stage_data target on every build.
file(MAKE_DIRECTORY ${DST}/bin ${DST}/config/zun09 ${DST}/include ${DST}/lib/zun09 ${DST}/src/startup/zun09)
if(EXISTS ${SRC})
  file(COPY ${SRC}/ DESTINATION ${DST})
endif()
