# The toolkit's own texts in Greek (its file dialogs, the context menus of text boxes,
# standard buttons): Debian ships no Greek catalogue of them, so the program brings the
# few it can show, compiled here and built into the program.
find_program(VANTREL_LRELEASE NAMES lrelease lrelease-qt6
  HINTS /usr/lib/qt6/bin /usr/lib/qt6/libexec REQUIRED)
set(vantrel_ts ${CMAKE_CURRENT_LIST_DIR}/qtbase_el.ts)
set(vantrel_qm_dir ${CMAKE_CURRENT_BINARY_DIR}/translations)
set(vantrel_qm ${vantrel_qm_dir}/qtbase_el.qm)
add_custom_command(OUTPUT ${vantrel_qm}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${vantrel_qm_dir}
  COMMAND ${VANTREL_LRELEASE} -silent ${vantrel_ts} -qm ${vantrel_qm}
  DEPENDS ${vantrel_ts} VERBATIM)
qt_add_resources(vantrel_core vantrel_translations PREFIX /translations
  BASE ${vantrel_qm_dir} FILES ${vantrel_qm})
