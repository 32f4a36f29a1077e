# The skin archive "skin.zip": layouts from resources/skin/layouts, images drawn at build time by
# draw_skin.py. Defines the target corvane_skin_archive, the paths CORVANE_SKIN_ZIP (deflated)
# and CORVANE_SKIN_STORED_ZIP (the same files stored, for the tests), and
#   corvane_skin_beside(<target>)   copies skin.zip beside the target's executable.
include_guard(GLOBAL)

find_program(CORVANE_SKIN_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
set(_skin_src ${CMAKE_CURRENT_LIST_DIR})
set(_skin_out ${CMAKE_BINARY_DIR}/resources/skin)
set(CORVANE_SKIN_ZIP ${_skin_out}/skin.zip CACHE INTERNAL "the packed skin")
set(CORVANE_SKIN_STORED_ZIP ${_skin_out}/skin_stored.zip CACHE INTERNAL "the packed skin, stored")

set(CORVANE_SKIN_LAYOUTS main_tool_bar.xml tool_bar_menu.xml setting_dlg.xml close_prompt_dlg.xml
    update_prompt_dlg.xml about_dlg.xml uninstall_dlg.xml find_bar.xml)
set(_layouts "")
foreach(layout ${CORVANE_SKIN_LAYOUTS})
  if(EXISTS ${_skin_src}/layouts/${layout}.in)
    configure_file(${_skin_src}/layouts/${layout}.in ${_skin_out}/layouts/${layout} @ONLY)
    list(APPEND _layouts ${_skin_out}/layouts/${layout})
  else()
    list(APPEND _layouts ${_skin_src}/layouts/${layout})
  endif()
endforeach()

# The images the layouts and the programs name; draw_skin.py writes exactly these.
set(_images "")
foreach(name back forward refresh)
  foreach(state normal hover press disabled)
    list(APPEND _images toolbar_${name}_${state}.png)
  endforeach()
endforeach()
list(APPEND _images toolbar_menu_icon.png)
foreach(state normal hover press)
  list(APPEND _images title_close_${state}.png title_min_${state}.png
       button_download_${state}.png button_install_new_version_${state}.png
       tool_bar_menu_about_update_${state}.png)
  foreach(item setting help about exit)
    list(APPEND _images tool_bar_menu_${item}_${state}.png)
  endforeach()
endforeach()
foreach(state normal hover selected selectedhover)
  list(APPEND _images radio_${state}.png)
endforeach()
foreach(state normal hover checked checkedhover)
  list(APPEND _images checkbox_${state}.png)
endforeach()
list(APPEND _images logo.png done.png question.png)
list(TRANSFORM _images PREPEND ${_skin_out}/images/)

add_custom_command(OUTPUT ${_images}
  COMMAND ${CORVANE_SKIN_PYTHON} ${_skin_src}/draw_skin.py ${_skin_out}/images
  DEPENDS ${_skin_src}/draw_skin.py
  COMMENT "Drawing the skin's images")
add_custom_command(OUTPUT ${CORVANE_SKIN_ZIP} ${CORVANE_SKIN_STORED_ZIP}
  COMMAND ${CORVANE_SKIN_PYTHON} ${_skin_src}/pack_skin.py ${CORVANE_SKIN_ZIP} ${_layouts} ${_images}
  COMMAND ${CORVANE_SKIN_PYTHON} ${_skin_src}/pack_skin.py --stored ${CORVANE_SKIN_STORED_ZIP} ${_layouts} ${_images}
  DEPENDS ${_skin_src}/pack_skin.py ${_layouts} ${_images}
  COMMENT "Packing skin.zip")
add_custom_target(corvane_skin_archive DEPENDS ${CORVANE_SKIN_ZIP} ${CORVANE_SKIN_STORED_ZIP})

# The copy is a build step of its own (one per folder), so a changed skin reaches every program
# folder even when the program itself is not relinked.
function(corvane_skin_beside target)
  get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT dir)
    get_target_property(dir ${target} BINARY_DIR)
  endif()
  string(MAKE_C_IDENTIFIER "${dir}" id)
  set(copy_target corvane_skin_copy_${id})
  if(NOT TARGET ${copy_target})
    add_custom_command(OUTPUT ${dir}/skin.zip
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CORVANE_SKIN_ZIP} ${dir}/skin.zip
      DEPENDS ${CORVANE_SKIN_ZIP} corvane_skin_archive
      COMMENT "skin.zip beside the programs in ${dir}")
    add_custom_target(${copy_target} DEPENDS ${dir}/skin.zip)
  endif()
  add_dependencies(${target} ${copy_target})
endfunction()
