# Precompiled Qt headers: most of a cold build is the compiler reading the same Qt headers
# again for every source file. Four groups of targets share one precompiled header each:
#   core      velmora_core (Qt Core and Qt SerialPort)
#   ui        velmora_ui (adds Qt Gui, Qt Widgets and Qt Multimedia)
#   test      the core tests (Qt Test on the core)
#   uitest    the window tests (Qt Test with its widget helpers)
# Within a group the compile flags match, so the first target of the group builds the
# header and the others reuse it. Only Qt and standard headers go in: the project's own
# headers stay out, so editing one never rebuilds a whole group.
#
# VELMORA_PCH=OFF builds without them, every source file then reading its own includes
# (worth a run now and then: a missing include only shows there).
option(VELMORA_PCH "Precompile the Qt headers shared by the sources" ON)

set(velmora_pch_core
  <QByteArray> <QDateTime> <QDir> <QFile> <QFileInfo> <QLocale> <QObject> <QSaveFile>
  <QString> <QStringList> <QTimer> <QVector>
  <algorithm> <functional> <memory>)
set(velmora_pch_ui ${velmora_pch_core}
  <QApplication> <QDialog> <QHeaderView> <QImage> <QLabel> <QLineEdit> <QMessageBox>
  <QPainter> <QPlainTextEdit> <QPushButton> <QTableWidget> <QWidget>)
set(velmora_pch_test ${velmora_pch_core} <QtTest> <QSignalSpy> <QTemporaryDir>)
set(velmora_pch_uitest ${velmora_pch_ui} <QtTest> <QSignalSpy> <QTemporaryDir>)

# velmora_precompile_headers(<target> <group>): the group's precompiled header for target.
function(velmora_precompile_headers target group)
  if(NOT VELMORA_PCH)
    return()
  endif()
  get_property(owner GLOBAL PROPERTY VELMORA_PCH_OWNER_${group})
  if(owner)
    target_precompile_headers(${target} REUSE_FROM ${owner})
  else()
    target_precompile_headers(${target} PRIVATE ${velmora_pch_${group}})
    set_property(GLOBAL PROPERTY VELMORA_PCH_OWNER_${group} ${target})
  endif()
endfunction()
