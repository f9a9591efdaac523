#pragma once
// pxlib's header declares its functions without C linkage for C++.
extern "C" {
#include <paradox.h>
}
