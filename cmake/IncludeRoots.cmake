# Include roots: what a target may #include, as a folder of symbolic links.
#
# The sources include by folder ("settings/font_face.h", "glyphmill/plugin.h"). Instead of the
# repository root, which would make every folder visible to every target, each target gets a folder
# <build>/include_roots/NAME holding links to only the source folders it may see. A target that
# links another sees the union of both roots, so an include against the layering fails to build.

# glyphmill_include_root(TARGET SCOPE NAME FOLDERS...): creates <build>/include_roots/NAME with one
# link per FOLDER (a path below the source root; the link is named after its last component, so
# include/glyphmill appears as glyphmill/) and adds it to TARGET's include directories with SCOPE.
function(glyphmill_include_root target scope name)
  set(root ${PROJECT_BINARY_DIR}/include_roots/${name})
  # Links left over from an earlier configure with other folders go; the linked folders stay.
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root})
  foreach(folder ${ARGN})
    if(NOT IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${folder})
      message(FATAL_ERROR "include root ${name}: no folder ${folder}")
    endif()
    get_filename_component(link ${folder} NAME)
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${link} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()
