# Fails when PROGRAM needs a Qt GUI library at run time.
file(GET_RUNTIME_DEPENDENCIES EXECUTABLES ${PROGRAM} RESOLVED_DEPENDENCIES_VAR libraries
  UNRESOLVED_DEPENDENCIES_VAR missing)
set(gui "")
foreach(library ${libraries} ${missing})
  if(library MATCHES "libQt6(Gui|Widgets|OpenGL|PrintSupport)")
    list(APPEND gui ${library})
  endif()
endforeach()
if(gui)
  message(FATAL_ERROR "${PROGRAM} needs Qt GUI libraries: ${gui}")
endif()
message(STATUS "${PROGRAM} needs no Qt GUI library")
