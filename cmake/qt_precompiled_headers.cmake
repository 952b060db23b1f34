# The Qt headers precompiled for the Qt backend and for the Qt Test programs:
# those most of their sources include, not Qt's umbrella headers, whose
# precompiled form is larger than it saves.
set(MIRUNEA_QT_PRECOMPILED_HEADERS
  <QApplication> <QWidget> <QLabel> <QLineEdit> <QRadioButton> <QListWidget> <QPushButton> <QGroupBox>
  <QMessageBox> <QStyle> <QKeyEvent> <QPainter> <QScrollArea> <QString>)
