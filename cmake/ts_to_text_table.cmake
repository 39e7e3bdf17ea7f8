# Turns a Qt Linguist file (translations/quorvane_<lang>.ts) into a C++ table
# of the texts lrelease would compile, for the Windows build, which has no Qt:
#   cmake -DTS=<file.ts> -DOUT=<table.cpp> -DTABLE=<function name> -P ts_to_text_table.cmake
# The table keeps what lrelease keeps: every message with a translation,
# unfinished ones included; vanished and obsolete messages and empty
# translations are left out. Messages with a disambiguating comment are left
# out too, as the program looks its texts up without one. What the window
# never uses (plural forms, length variants, raw bytes) stops the build rather
# than turning into a wrong text.
cmake_minimum_required(VERSION 3.25)
foreach(var TS OUT TABLE)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "ts_to_text_table.cmake needs -D${var}=...")
    endif()
endforeach()

# The text between `open` and `close` in `text`, searched from the start.
function(element_text text open close out_found out_value)
    string(FIND "${text}" "${open}" start)
    if(start EQUAL -1)
        set(${out_found} FALSE PARENT_SCOPE)
        return()
    endif()
    string(LENGTH "${open}" open_length)
    math(EXPR start "${start} + ${open_length}")
    string(SUBSTRING "${text}" ${start} -1 after)
    string(FIND "${after}" "${close}" end)
    if(end EQUAL -1)
        message(FATAL_ERROR "${TS}: ${open} without ${close}")
    endif()
    string(SUBSTRING "${after}" 0 ${end} value)
    set(${out_found} TRUE PARENT_SCOPE)
    set(${out_value} "${value}" PARENT_SCOPE)
endfunction()

# XML character data to text (the entities lupdate writes), then to the body
# of a C++ string literal in UTF-8.
function(xml_to_literal xml out)
    if(xml MATCHES "&#")
        message(FATAL_ERROR "${TS}: numeric character references are not supported: ${xml}")
    endif()
    set(text "${xml}")
    string(REPLACE "&lt;" "<" text "${text}")
    string(REPLACE "&gt;" ">" text "${text}")
    string(REPLACE "&quot;" "\"" text "${text}")
    string(REPLACE "&apos;" "'" text "${text}")
    string(REPLACE "&amp;" "&" text "${text}")
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "\\\"" text "${text}")
    string(REPLACE "\n" "\\n" text "${text}")
    string(REPLACE "\r" "\\r" text "${text}")
    string(REPLACE "\t" "\\t" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The next `<tag ...>...</tag>` block of `rest`: its inside goes to
# out_block, what follows it to out_rest; out_found is FALSE when none is left.
function(next_block rest tag out_found out_block out_rest)
    string(FIND "${rest}" "<${tag}" start)
    if(start EQUAL -1)
        set(${out_found} FALSE PARENT_SCOPE)
        return()
    endif()
    string(SUBSTRING "${rest}" ${start} -1 from_start)
    string(FIND "${from_start}" "</${tag}>" end)
    if(end EQUAL -1)
        message(FATAL_ERROR "${TS}: <${tag}> without </${tag}>")
    endif()
    string(SUBSTRING "${from_start}" 0 ${end} block)
    string(LENGTH "</${tag}>" close_length)
    math(EXPR after "${end} + ${close_length}")
    string(SUBSTRING "${from_start}" ${after} -1 remaining)
    set(${out_found} TRUE PARENT_SCOPE)
    set(${out_block} "${block}" PARENT_SCOPE)
    set(${out_rest} "${remaining}" PARENT_SCOPE)
endfunction()

file(READ "${TS}" ts)
set(rows "")
set(count 0)
set(contexts "${ts}")
while(TRUE)
    next_block("${contexts}" "context" found context contexts)
    if(NOT found)
        break()
    endif()
    element_text("${context}" "<name>" "</name>" found context_name)
    if(NOT found)
        message(FATAL_ERROR "${TS}: a context without a name")
    endif()
    xml_to_literal("${context_name}" context_literal)
    set(messages "${context}")
    while(TRUE)
        next_block("${messages}" "message" found entry messages)
        if(NOT found)
            break()
        endif()
        if(entry MATCHES "numerus=\"yes\"|<lengthvariant|<byte ")
            message(FATAL_ERROR "${TS}: plural forms, length variants and raw bytes are not supported")
        endif()
        element_text("${entry}" "<comment>" "</comment>" has_comment comment)
        if(has_comment AND NOT comment STREQUAL "")
            continue()
        endif()
        element_text("${entry}" "<source>" "</source>" found source)
        if(NOT found)
            message(FATAL_ERROR "${TS}: a message without a source")
        endif()
        # <translation>, <translation type="..."> or an empty <translation/>.
        if(NOT entry MATCHES "<translation([^>/]*)>([^<]*)</translation>")
            continue()
        endif()
        set(attributes "${CMAKE_MATCH_1}")
        set(translation "${CMAKE_MATCH_2}")
        if(attributes MATCHES "type=\"(vanished|obsolete)\"" OR translation STREQUAL "")
            continue()
        endif()
        xml_to_literal("${source}" source_literal)
        xml_to_literal("${translation}" translation_literal)
        string(APPEND rows "    {\"${context_literal}\", \"${source_literal}\", \"${translation_literal}\"},\n")
        math(EXPR count "${count} + 1")
    endwhile()
endwhile()
if(count EQUAL 0)
    message(FATAL_ERROR "${TS}: no translated message")
endif()

get_filename_component(ts_name "${TS}" NAME)
file(WRITE "${OUT}.new"
"// Generated by the build from ${ts_name} (cmake/ts_to_text_table.cmake).\n"
"#include \"platform/desktop/text_table.h\"\n"
"\n"
"namespace {\n"
"const TextTableEntry kEntries[] = {\n"
"${rows}"
"};\n"
"}  // namespace\n"
"\n"
"std::span<const TextTableEntry> ${TABLE}() {\n"
"    return kEntries;\n"
"}\n")
# Rewritten only when it changes, so an unchanged table compiles no further.
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
