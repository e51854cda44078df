#include "app/viewer_main.h"

int main(int argc, char** argv) { viewer_main(argc, argv); }
