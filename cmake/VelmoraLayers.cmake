# One static library per folder, each seeing only its own folder and the folders of the
# libraries it links, so that an include of a layer above fails to build instead of merely
# being frowned upon.
#
# A library's include root is a folder of the build tree holding one symbolic link named
# after its source folder (build/include/velmora_link/link -> <source>/link). That root is
# the library's public include directory: includes keep their "folder/File.h" form, and a
# folder becomes visible only along the link graph, downwards.
#
#   velmora_add_layer(<library> <folder> [WIDGETS] [LINKS <libraries>...])
#
# A library compiles against the precompiled Qt headers of its group
# (cmake/VelmoraPrecompiledHeaders.cmake): Qt Core, or with WIDGETS Qt Core and the widgets.
function(velmora_add_layer library folder)
  cmake_parse_arguments(ARG "WIDGETS" "" "LINKS" ${ARGN})
  add_library(${library} STATIC)
  set(root ${PROJECT_BINARY_DIR}/include/${library})
  get_filename_component(link_parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${link_parent})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${library} PUBLIC ${root})
  target_link_libraries(${library} PUBLIC ${ARG_LINKS})
  if(ARG_WIDGETS)
    velmora_use_precompiled_headers(${library} ui)
  else()
    velmora_use_precompiled_headers(${library} core)
  endif()
  # For the translations, which read every library's sources.
  set_property(GLOBAL APPEND PROPERTY VELMORA_LAYERS ${library})
endfunction()
