# The reusable widgets of the ui target: template builder, up-down control and about box.
target_sources(parvex_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/caboutdlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/caboutdlg.h
    ${CMAKE_CURRENT_LIST_DIR}/templatebuilder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/templatebuilder.h
    ${CMAKE_CURRENT_LIST_DIR}/updowncontrol.cpp
    ${CMAKE_CURRENT_LIST_DIR}/updowncontrol.h
)
