#pragma once
// The generated controls of the bookmarks window, for code outside the application library (tests).
#include "ui_bookmarkswindow.h"
