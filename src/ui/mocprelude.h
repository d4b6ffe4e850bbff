#pragma once

// Read by moc before every header it scans (CMAKE_AUTOMOC_MOC_OPTIONS in the
// top-level CMakeLists.txt), never compiled. moc fails on the standard
// library's <compare> when that is the first standard header it meets, as it
// is in the core's quantity and date headers; once <string> has set up the
// library's configuration it reads them, and so every header of the core a
// window includes.
#include <string>
