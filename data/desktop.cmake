# What a desktop needs to offer the viewer: its menu entry, its icon (the SVG, and PNGs drawn
# from it at build time for the fixed sizes a theme looks up) and the .gdx file type.
find_program(CINDRAL_RSVG_CONVERT rsvg-convert REQUIRED)
set(CINDRAL_ICON_SOURCE ${CMAKE_CURRENT_LIST_DIR}/desktop/cindral.svg)
set(CINDRAL_ICON_SIZES 16 24 32 48 64 128 256)
set(icon_pngs)
foreach(size ${CINDRAL_ICON_SIZES})
  set(icon_dir ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size})
  add_custom_command(OUTPUT ${icon_dir}/cindral.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dir}
    COMMAND ${CINDRAL_RSVG_CONVERT} -w ${size} -h ${size} -o ${icon_dir}/cindral.png
            ${CINDRAL_ICON_SOURCE}
    DEPENDS ${CINDRAL_ICON_SOURCE}
    COMMENT "Drawing the ${size}x${size} icon")
  list(APPEND icon_pngs ${icon_dir}/cindral.png)
  install(FILES ${icon_dir}/cindral.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(cindral_icons ALL DEPENDS ${icon_pngs})
add_dependencies(cindral_data cindral_icons)
install(FILES ${CINDRAL_ICON_SOURCE} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/cindral.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/cindral-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME cindral.xml)
