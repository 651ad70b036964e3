# zun_library_archives(<release archive> <debug archive> <source path> <source dir> <sources...>)
# Builds the library archives of the installation from C and assembler
# sources with our own tools, as a project's Final and Debug configurations
# build them: a C source through cpp (the predefined macros, the staged
# headers), tcx09 -w4 -O and hasm09 -e, an assembler source through hasm09;
# then vlk -Ac. The debug archive has -g everywhere and names its sources
# by <source path> relative to the installation, where the debugger finds
# them. The archives land in stage/lib/zun09; their paths are left in
# ZUN_ARCHIVES.
function(zun_library_archives release debug source_path src_dir)
  file(GLOB headers ${CMAKE_SOURCE_DIR}/data/include/*.h)
  set(archives "")
  foreach(variant rel dbg)
    set(objects "")
    set(flags "")
    set(archive ${ZUN_STAGE}/lib/zun09/${release})
    set(archive_flags "")
    if(variant STREQUAL "dbg")
      set(flags -g)
      set(archive ${ZUN_STAGE}/lib/zun09/${debug})
      set(archive_flags -g -As ${source_path})
    endif()
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/${variant})
    file(MAKE_DIRECTORY ${dir}/pp)
    foreach(src ${ARGN})
      get_filename_component(base ${src} NAME_WE)
      get_filename_component(ext ${src} EXT)
      set(obj ${dir}/${base}.o09)
      # Each tool exits with its error count, so a faulty source stops the build.
      if(ext STREQUAL ".c")
        # The preprocessed text keeps the source's name, which the debug records carry.
        add_custom_command(OUTPUT ${obj}
          COMMAND $<TARGET_FILE:zun_cpp> -I ${CMAKE_SOURCE_DIR}/data/include -D__ZUN -D__STDC__ -D__IIS
                  -D__ZUN09 -D_C_COMPILED ${src_dir}/${src} pp/${src}
          COMMAND $<TARGET_FILE:tcx09> ${flags} -w4 -O pp/${src} ${base}.s09
          COMMAND $<TARGET_FILE:hasm09> ${flags} -e -o ${obj} ${base}.s09
          DEPENDS zun_cpp tcx09 hasm09 ${src_dir}/${src} ${headers}
          WORKING_DIRECTORY ${dir}
          COMMENT "tcx09 ${flags} ${src}"
          VERBATIM)
      else()
        add_custom_command(OUTPUT ${obj}
          COMMAND $<TARGET_FILE:hasm09> ${flags} -o ${obj} ${src_dir}/${src}
          DEPENDS hasm09 ${src_dir}/${src}
          WORKING_DIRECTORY ${dir}
          COMMENT "hasm09 ${flags} ${src}"
          VERBATIM)
      endif()
      list(APPEND objects ${obj})
    endforeach()
    add_custom_command(OUTPUT ${archive}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${ZUN_STAGE}/lib/zun09
      COMMAND $<TARGET_FILE:vlk> ${archive_flags} -Ac -o ${archive} ${objects}
      DEPENDS vlk ${objects}
      WORKING_DIRECTORY ${dir}
      COMMENT "vlk -Ac ${archive}"
      VERBATIM)
    list(APPEND archives ${archive})
  endforeach()
  set(ZUN_ARCHIVES ${archives} PARENT_SCOPE)
endfunction()
