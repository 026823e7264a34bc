# The main window: the split dialog, its data exchange, output destinations, the split host, the
# preview session, slider and window, and the Qt implementations of the window's seams.
target_sources(parvex_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/cpositionslider.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cpositionslider.h
    ${CMAKE_CURRENT_LIST_DIR}/csplitdialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/csplitdialog.h
    ${CMAKE_CURRENT_LIST_DIR}/dataexchange.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dataexchange.h
    ${CMAKE_CURRENT_LIST_DIR}/desktopservices.h
    ${CMAKE_CURRENT_LIST_DIR}/dialogservices.h
    ${CMAKE_CURRENT_LIST_DIR}/dialogsplithost.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialogsplithost.h
    ${CMAKE_CURRENT_LIST_DIR}/dialogtexts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialogtexts.h
    ${CMAKE_CURRENT_LIST_DIR}/filechooser.h
    ${CMAKE_CURRENT_LIST_DIR}/localpath.h
    ${CMAKE_CURRENT_LIST_DIR}/outputdestinations.cpp
    ${CMAKE_CURRENT_LIST_DIR}/outputdestinations.h
    ${CMAKE_CURRENT_LIST_DIR}/previewsession.cpp
    ${CMAKE_CURRENT_LIST_DIR}/previewsession.h
    ${CMAKE_CURRENT_LIST_DIR}/previewwindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/previewwindow.h
    ${CMAKE_CURRENT_LIST_DIR}/prompter.h
    ${CMAKE_CURRENT_LIST_DIR}/qtdesktopservices.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qtdesktopservices.h
    ${CMAKE_CURRENT_LIST_DIR}/qtfilechooser.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qtfilechooser.h
    ${CMAKE_CURRENT_LIST_DIR}/qtprompter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qtprompter.h
    ${CMAKE_CURRENT_LIST_DIR}/settingsstore.h
)
# The product page that the Homepage button opens (cache variable of the top CMakeLists.txt).
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/csplitdialog.cpp APPEND PROPERTY
    COMPILE_DEFINITIONS "PARVEX_HOMEPAGE=\"${PARVEX_HOMEPAGE}\"")
