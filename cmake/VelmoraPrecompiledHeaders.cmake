# Precompiled Qt headers: most of a cold build is the compiler reading the same Qt headers
# again for every source file (a test's <QtTest> alone brings in the whole of Qt Core).
# Two precompiled headers serve every target:
#   core  Qt Core, built by velmora_core, reused by the other GUI-free libraries and their tests
#   ui    Qt Core and the widgets the windows use, built by velmora_core_ui, reused by the
#         other widget libraries and the window tests
# A target's own compile definitions (Qt Test's, a test folder's QT_TESTCASE_BUILDDIR, the
# Qt modules a widget library adds) come on top of the host's; none of them is read by these
# headers, so the host's header stays valid for it. Qt Test's own headers stay out for that
# reason: they read the folder's QT_TESTCASE_BUILDDIR. The project's own headers stay out
# too, so editing one never rebuilds a whole group.
#
# VELMORA_PCH=OFF builds without them, every source file then reading its own includes
# (worth a run now and then: a missing include only shows there).
option(VELMORA_PCH "Precompile the Qt headers shared by the sources" ON)

set(velmora_pch_core <QtCore> <algorithm> <functional> <memory>)
set(velmora_pch_ui ${velmora_pch_core}
  <QApplication> <QComboBox> <QDialog> <QHeaderView> <QImage> <QLabel> <QLineEdit>
  <QMainWindow> <QMessageBox> <QPainter> <QPlainTextEdit> <QProgressBar> <QPushButton>
  <QTabWidget> <QTableWidget> <QWidget>)
# The library that builds each group's header: the lowest one of the group.
set(velmora_pch_host_core velmora_core)
set(velmora_pch_host_ui velmora_core_ui)

# velmora_use_precompiled_headers(<target> core|ui): the group's host builds the header, any
# other target (which links the host) compiles against it.
function(velmora_use_precompiled_headers target group)
  if(NOT VELMORA_PCH)
    return()
  endif()
  if(target STREQUAL "${velmora_pch_host_${group}}")
    target_precompile_headers(${target} PRIVATE ${velmora_pch_${group}})
  else()
    target_precompile_headers(${target} REUSE_FROM ${velmora_pch_host_${group}})
  endif()
endfunction()
