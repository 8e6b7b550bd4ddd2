// The look of the lists and log windows: the program's black and red on
// Qt's own tables, fields and buttons.
#pragma once

inline const char* LogWindowStyle() {
    return "QWidget { background: black; color: rgb(255,0,0); font-family: Arial; font-size: 9pt; }"
           "QLineEdit, QComboBox, QPlainTextEdit, QDateTimeEdit, QDoubleSpinBox, QSpinBox, "
           "QComboBox QAbstractItemView { background: black; color: rgb(255,0,0); "
           "border: 1px solid rgb(128,0,0); selection-background-color: rgb(128,0,0); "
           "selection-color: black; }"
           "QTableWidget { gridline-color: rgb(64,0,0); selection-background-color: rgb(128,0,0); "
           "selection-color: black; }"
           "QHeaderView::section { background: black; color: rgb(255,0,0); "
           "border: 1px solid rgb(64,0,0); }"
           "QPushButton { border: 1px solid rgb(255,0,0); padding: 2px 8px; }"
           "QPushButton:pressed, QPushButton:focus { background: rgb(128,0,0); color: black; }";
}
