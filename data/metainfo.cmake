# The AppStream description a software centre reads (screenshots.sh beside it takes its
# screenshots from the viewer).
install(FILES ${CMAKE_CURRENT_LIST_DIR}/metainfo/example.quentara.cindral.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
