// The program's icon: the PNG set compiled into the program (app/icons).
#pragma once

#include <QIcon>

// Each size is decoded the first time the window system asks for it, so the
// icon costs start-up nothing where no window system draws one.
QIcon ProgramIcon();
