# The Python package gwbuilders installed with the programs where the build
# makes its module (BUILDERS_PYTHON): `make install`, `cmake --install` and
# the Debian package python3-gwbuilders (component "python") put its Python
# layer and the compiled module into one folder under the prefix, where the
# interpreter the module was built for (Python3_EXECUTABLE, /usr/bin/python3
# by default) keeps its packages in Debian's layout: lib/python3/dist-packages,
# one folder for every Python 3 version, each compiled module named for its
# own version (_native.cpython-311-x86_64-linux-gnu.so).

# Asked of that interpreter, not assumed: Debian's python3 has the scheme
# deb_system (/usr/lib/python3/dist-packages under /usr); another Python
# has none, and its own site-packages under the prefix stands in.
execute_process(
  COMMAND ${Python3_EXECUTABLE} -c
    "import sysconfig
scheme = 'deb_system' if 'deb_system' in sysconfig.get_scheme_names() else 'posix_prefix'
print(sysconfig.get_path('platlib', scheme, vars={'base': '/PREFIX', 'platbase': '/PREFIX'}).removeprefix('/PREFIX/'))
print('%d.%d' % __import__('sys').version_info[:2])"
  OUTPUT_VARIABLE python_layout
  RESULT_VARIABLE status
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${Python3_EXECUTABLE} did not say where its packages go")
endif()
string(REPLACE "\n" ";" python_layout "${python_layout}")
list(GET python_layout 0 python_platlib)
list(GET python_layout 1 BUILDERS_PYTHON_VERSION)
set(BUILDERS_PYTHON_INSTALL_DIR ${python_platlib} CACHE STRING
    "Where gwbuilders is installed, under the prefix (by default the interpreter's dist-packages in Debian's layout)")

install(DIRECTORY ${PROJECT_SOURCE_DIR}/python/src/gwbuilders
        DESTINATION ${BUILDERS_PYTHON_INSTALL_DIR} COMPONENT python
        FILES_MATCHING PATTERN "*.py" PATTERN "py.typed" PATTERN "__pycache__" EXCLUDE)
install(TARGETS gwbuilders_native LIBRARY DESTINATION ${BUILDERS_PYTHON_INSTALL_DIR}/gwbuilders
        COMPONENT python)
