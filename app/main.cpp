#include "app/viewer.h"

int main(int argc, char** argv) { viewer_main(argc, argv); }
