# Precompiled Qt headers: most of a cold build is the compiler reading the same Qt headers
# again for every source file (a test's <QtTest> alone brings in the whole of Qt Core).
# Two precompiled headers serve every target:
#   velmora_core  Qt Core, reused by the core tests
#   velmora_ui    Qt Core and the widgets the windows use, reused by the window tests
# A test's own compile definitions (Qt Test's, its folder's QT_TESTCASE_BUILDDIR) come on
# top of its library's; none of them is read by these headers, so the library's header
# stays valid for it. Qt Test's own headers stay out for that reason: they read the
# folder's QT_TESTCASE_BUILDDIR. The project's own headers stay out too, so editing one
# never rebuilds a whole group.
#
# VELMORA_PCH=OFF builds without them, every source file then reading its own includes
# (worth a run now and then: a missing include only shows there).
option(VELMORA_PCH "Precompile the Qt headers shared by the sources" ON)

set(velmora_pch_core <QtCore> <algorithm> <functional> <memory>)
set(velmora_pch_ui ${velmora_pch_core}
  <QApplication> <QComboBox> <QDialog> <QHeaderView> <QImage> <QLabel> <QLineEdit>
  <QMainWindow> <QMessageBox> <QPainter> <QPlainTextEdit> <QProgressBar> <QPushButton>
  <QTabWidget> <QTableWidget> <QWidget>)

# velmora_precompile_headers(<library> core|ui): the library builds the group's header.
function(velmora_precompile_headers library group)
  if(VELMORA_PCH)
    target_precompile_headers(${library} PRIVATE ${velmora_pch_${group}})
  endif()
endfunction()

# velmora_reuse_precompiled_headers(<target> <library>): the target, which links the
# library, compiles against the library's precompiled header.
function(velmora_reuse_precompiled_headers target library)
  if(VELMORA_PCH)
    target_precompile_headers(${target} REUSE_FROM ${library})
  endif()
endfunction()
