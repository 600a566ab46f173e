#pragma once

#include <QImage>

namespace kw {

// The program's pictures and layouts are compiled into a static library, whose resources need
// registering by hand. Safe to call more than once, from any thread.
void RegisterResources();

// The main menu's ship picture, decoded from the resources.
QImage LoadMenuPicture();

} // namespace kw
