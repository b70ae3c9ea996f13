// The entry of the desktop module (kinex2-desktop), the one symbol it exports.
// The executable loads it only when a window is wanted (app/DesktopModule.h).

#include "gui/RunDesktop.h"

#ifdef _WIN32
#define KINEX2_MODULE_EXPORT __declspec(dllexport)
#else
#define KINEX2_MODULE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" KINEX2_MODULE_EXPORT int Kinex2RunDesktop(int argc, char** argv) {
  return RunDesktop(argc, argv);
}
