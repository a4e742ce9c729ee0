# Writes page_assets.cpp: page.css and page.js as raw string literals.
# Called as: cmake -DCSS=... -DJS=... -DOUT=... -P embed_assets.cmake
file(READ ${CSS} style)
file(READ ${JS} script)
foreach(text style script)
  string(FIND "${${text}}" ")asset\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${text} must not hold the text )asset\"")
  endif()
endforeach()
file(WRITE ${OUT} "// Generated from page.css and page.js by embed_assets.cmake.\n"
  "#include \"report/page_assets.h\"\n\nnamespace report {\n\n"
  "const std::string_view kPageStyle = R\"asset(${style})asset\";\n\n"
  "const std::string_view kPageScript = R\"asset(${script})asset\";\n\n"
  "}  // namespace report\n")
