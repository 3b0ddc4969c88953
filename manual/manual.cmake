# Builds the manual's Qt Help collection: Marrowdale.qch (the pages, the
# contents and the keywords) and Marrowdale.qhc (the collection the help
# window opens) beside the executable. qhelpgenerator lives in Qt's libexec
# folder, which is not on PATH.
find_package(Qt6 QUIET COMPONENTS ToolsTools)
if(TARGET Qt6::qhelpgenerator)
  set(MARROWDALE_QHELPGENERATOR $<TARGET_FILE:Qt6::qhelpgenerator>)
else()
  find_program(MARROWDALE_QHELPGENERATOR_EXE qhelpgenerator
    HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBEXECS}" /usr/lib/qt6/libexec
          /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/qt6/libexec
    REQUIRED)
  set(MARROWDALE_QHELPGENERATOR ${MARROWDALE_QHELPGENERATOR_EXE})
endif()

set(_manual_src ${PROJECT_SOURCE_DIR}/manual)
set(MARROWDALE_MANUAL_DIR ${CMAKE_CURRENT_BINARY_DIR} CACHE INTERNAL "Where the manual's collection is built")
file(GLOB _manual_files CONFIGURE_DEPENDS ${_manual_src}/*.html ${_manual_src}/*.css ${_manual_src}/*.png
     ${_manual_src}/Marrowdale.qhp)
configure_file(${_manual_src}/Marrowdale.qhcp ${MARROWDALE_MANUAL_DIR}/Marrowdale.qhcp COPYONLY)

# The search index is made with the collection: the help window opens the
# collection read-only and finds its index beside it, in .Marrowdale/.
add_executable(make_help_index ${_manual_src}/make_help_index.cpp)
target_link_libraries(make_help_index PRIVATE Qt6::Help Qt6::Gui)
marrowdale_warnings(make_help_index)

add_custom_command(
  OUTPUT ${MARROWDALE_MANUAL_DIR}/Marrowdale.qch ${MARROWDALE_MANUAL_DIR}/Marrowdale.qhc
  COMMAND ${CMAKE_COMMAND} -E rm -f ${MARROWDALE_MANUAL_DIR}/Marrowdale.qch ${MARROWDALE_MANUAL_DIR}/Marrowdale.qhc
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${MARROWDALE_MANUAL_DIR}/.Marrowdale
  COMMAND ${MARROWDALE_QHELPGENERATOR} ${_manual_src}/Marrowdale.qhp -o ${MARROWDALE_MANUAL_DIR}/Marrowdale.qch
  COMMAND ${MARROWDALE_QHELPGENERATOR} ${MARROWDALE_MANUAL_DIR}/Marrowdale.qhcp -o ${MARROWDALE_MANUAL_DIR}/Marrowdale.qhc
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:make_help_index> ${MARROWDALE_MANUAL_DIR}/Marrowdale.qhc
  DEPENDS ${_manual_files} ${_manual_src}/Marrowdale.qhcp make_help_index
  COMMENT "Building the manual's help collection"
  VERBATIM)
add_custom_target(manual DEPENDS ${MARROWDALE_MANUAL_DIR}/Marrowdale.qch ${MARROWDALE_MANUAL_DIR}/Marrowdale.qhc)
