# The English text table generator (cmake/ts_to_text_table.cmake) on a
# translation file with what lupdate writes: entities, semicolons, quotes and
# backslashes, several lines, messages left out (vanished, empty, with a
# disambiguating comment) and a second context.
#   cmake -DSOURCE_DIR=<project> -DWORK=<folder> -P text_table_test.cmake
set(table ${WORK}/text_table_cases.cpp)
execute_process(COMMAND ${CMAKE_COMMAND} -DTS=${CMAKE_CURRENT_LIST_DIR}/text_table_cases.ts
                        -DOUT=${table} -DTABLE=CasesTable
                        -P ${SOURCE_DIR}/cmake/ts_to_text_table.cmake
                COMMAND_ERROR_IS_FATAL ANY)
file(STRINGS ${table} rows REGEX "^    {")
string(JOIN "\n" rows ${rows})
set(expected [[
    {"Quorvane", "a;b & <c> \"q\" \\x", "A;B & \"Q\" \\ ${X}"},
    {"Quorvane", "two\nlines", "Two\nlines"},
    {"Other", "x", "y"},]])
string(STRIP "${expected}" expected_text)
string(STRIP "${rows}" rows_text)
if(NOT rows_text STREQUAL expected_text)
    message(FATAL_ERROR "table rows:\n${rows}\nexpected:\n${expected}")
endif()

# A plural form would become a wrong text: the generator refuses it.
file(WRITE ${WORK}/plural.ts [[<TS><context><name>Quorvane</name>
<message numerus="yes"><source>%n files</source><translation><numerusform>%n file</numerusform></translation></message>
</context></TS>]])
execute_process(COMMAND ${CMAKE_COMMAND} -DTS=${WORK}/plural.ts -DOUT=${WORK}/plural.cpp
                        -DTABLE=PluralTable -P ${SOURCE_DIR}/cmake/ts_to_text_table.cmake
                RESULT_VARIABLE plural_result OUTPUT_QUIET ERROR_QUIET)
if(plural_result EQUAL 0)
    message(FATAL_ERROR "a plural form was accepted")
endif()
