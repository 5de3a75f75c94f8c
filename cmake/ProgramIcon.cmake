# The installed program icon at every size it is installed at, as resources under
# <prefix>/icons/program/<size>.png, for the window icon. Returns the files in `out`.
function(torvane_program_icon_files out desktop_name)
  set(files)
  foreach(size 16 32 48 64 128 256)
    set(icon ${PROJECT_SOURCE_DIR}/packaging/icons/${size}/${desktop_name}.png)
    set_source_files_properties(${icon} PROPERTIES QT_RESOURCE_ALIAS icons/program/${size}.png)
    list(APPEND files ${icon})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()
