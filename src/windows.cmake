# The windows reach each other through their single global instances (the
# registration window fills the report window, every working window shows the
# main menu again), so the window folders build into one library.
set(window_folders main_menu registration query reporting settings)
set(window_sources)
foreach(folder ${window_folders})
  file(GLOB folder_sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h)
  list(APPEND window_sources ${folder_sources})
endforeach()
# The settings window's decoration pictures are compiled in (Q_INIT_RESOURCE in TForm_sz).
qt_add_resources(window_sources ${CMAKE_SOURCE_DIR}/resources/settings/settings_pictures.qrc)
add_library(windows STATIC ${window_sources})
target_link_libraries(windows PUBLIC platform_widgets store report_engine shared_state)
