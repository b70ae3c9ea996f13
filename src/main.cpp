#include "app/Main.h"
#include "app/DesktopModule.h"

int main(int argc, char** argv) {
  return Kinex2Main(argc, argv, &RunDesktopModule);
}
