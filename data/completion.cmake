# Bash completion for cindral-cli, installed where bash-completion loads it on demand (its
# completionsdir under the prefix: share/bash-completion/completions/, named for the command).
install(FILES ${CMAKE_CURRENT_LIST_DIR}/completion/cindral-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME cindral-cli)
