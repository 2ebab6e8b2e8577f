#pragma once
// The generated controls of the main window and the zoom dialog, for code outside the application
// library (tests) that needs to reach them under their designed names.
#include "ui_mainwindow.h"
#include "ui_zoomdialog.h"
