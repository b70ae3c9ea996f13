#include "app/DesktopModule.h"
#include "app/Main.h"

int main(int argc, char** argv) {
  return Kinex2Main(argc, argv, &RunDesktopModule);
}
