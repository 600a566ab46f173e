# The Qt that Koerswacht's Windows edition links, as build-qt.sh configures it (an initial cache,
# cmake -C): static libraries, size-optimised, each function and datum in a section of its own so
# that the program's link keeps only what it calls. No precompiled headers: Qt's include every
# header of a module, also those of features that are off, which then fail their feature check.
set(CMAKE_BUILD_TYPE MinSizeRel CACHE STRING "")
set(CMAKE_C_FLAGS "-ffunction-sections -fdata-sections" CACHE STRING "")
set(CMAKE_CXX_FLAGS "-ffunction-sections -fdata-sections" CACHE STRING "")
set(BUILD_SHARED_LIBS OFF CACHE BOOL "")
set(BUILD_WITH_PCH OFF CACHE BOOL "")
foreach(option QT_BUILD_EXAMPLES QT_BUILD_TESTS QT_BUILD_BENCHMARKS FEATURE_androiddeployqt FEATURE_windeployqt)
    set(${option} OFF CACHE BOOL "")
endforeach()

# What Koerswacht does not use goes, so that the widgets, the style and the platform code that
# refer to it do not pull it into the program. Kept on purpose: colour names (the screens' style
# sheets say "transparent"), the style sheet parser, the calendar popup and the table view it
# needs, message boxes, tooltips, the context menu of a text field, accessibility, the printer and
# the PDF engine it is built on. Some stay because Qt 6.4 does not build without them: drag and drop
# (QApplication), the tab bar and widget (the Windows Vista style), and Direct2D, of which the
# DirectWrite font engine's sources are made a part.
foreach(feature
    # modules
    sql network dbus opengl dynamicgl vulkan concurrent xml
    # Core
    regularexpression pcre2 mimetype mimetype_database sharedmemory systemsemaphore
    xmlstream xmlstreamreader xmlstreamwriter filesystemwatcher proxymodel sortfilterproxymodel
    identityproxymodel transposeproxymodel concatenatetablesproxymodel stringlistmodel gestures
    jalalicalendar hijricalendar islamiccivilcalendar timezone commandlineparser
    sha3_fast # the compact SHA-3, which the PDF engine's hashing brings along
    # Gui
    harfbuzz freetype textmarkdownreader textmarkdownwriter textodfwriter movie imageformatplugin
    gif jpeg ico imageformat_ppm imageformat_xbm image_heuristic_mask image_text
    systemtrayicon desktopservices sessionmanager whatsthis raster_64bit raster_fp
    undocommand undostack undogroup tabletevent standarditemmodel filesystemmodel
    # Widgets
    style_fusion effects treewidget listwidget tablewidget commandlinkbutton textbrowser splashscreen
    splitter formlayout lcdnumber dial combobox fontcombobox toolbar toolbox
    mainwindow dockwidget menubar mdiarea resizehandler statusbar progressbar scroller graphicsview
    graphicseffect textedit syntaxhighlighter rubberband statustip sizegrip keysequenceedit
    colordialog filedialog fontdialog progressdialog inputdialog errormessage wizard columnview
    datawidgetmapper completer fscompleter undoview listview treeview
    # PrintSupport
    printpreviewwidget printdialog printpreviewdialog cups
)
    set(FEATURE_${feature} OFF CACHE BOOL "")
endforeach()
foreach(feature
    static_runtime colornames cssparser style_windows style_windowsvista style_stylesheet animation
    calendarwidget datetimeedit tableview itemviews messagebox dialogbuttonbox tooltip menu
    contextmenu lineedit radiobutton pushbutton label accessibility clipboard shortcut printer pdf
    picture process temporaryfile datestring textdate datetimeparser texthtmlparser
)
    set(FEATURE_${feature} ON CACHE BOOL "")
endforeach()
