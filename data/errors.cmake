# The error-message table goes beside the binaries, where the program looks for it.
configure_file(${CMAKE_CURRENT_LIST_DIR}/Tables/Quen.Err ${CINDRAL_BIN_DIR}/Tables/Quen.Err COPYONLY)
install(FILES ${CINDRAL_BIN_DIR}/Tables/Quen.Err DESTINATION ${CINDRAL_DATA_INSTALL_DIR}/Tables)
