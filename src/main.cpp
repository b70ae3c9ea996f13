#include "app/Main.h"
#include "gui/RunDesktop.h"

int main(int argc, char** argv) {
  return Kinex2Main(argc, argv, &RunDesktop);
}
