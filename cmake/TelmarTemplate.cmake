# The report template, and the rule that puts a copy beside a program that reads it.
set(TELMAR_TEMPLATE "${PROJECT_SOURCE_DIR}/report/template/otchet.rtf")

# Puts the report template beside `target` (built in the current binary folder), where the
# report looks for it first; kept up to date with the source.
function(telmar_template_beside target)
    set(copy "${CMAKE_CURRENT_BINARY_DIR}/отчёт/otchet.rtf")
    add_custom_command(OUTPUT "${copy}"
        COMMAND ${CMAKE_COMMAND} -E copy "${TELMAR_TEMPLATE}" "${copy}"
        DEPENDS "${TELMAR_TEMPLATE}"
        COMMENT "Report template beside ${target}")
    add_custom_target(${target}_template DEPENDS "${copy}")
    add_dependencies(${target} ${target}_template)
endfunction()
