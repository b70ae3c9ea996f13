// The entry of the settings library (kinex2-settings), the one symbol it
// exports. The executable loads it only when the Qt settings store is wanted
// (app/QtStoreAccess.h).

#include "qtstore/QtSettingsStore.h"

#ifdef _WIN32
#define KINEX2_MODULE_EXPORT __declspec(dllexport)
#else
#define KINEX2_MODULE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" KINEX2_MODULE_EXPORT const CQtStoreProvider* Kinex2QtStoreProvider() {
  return LinkedQtStoreProvider();
}
