#include "app/startup.h"

int main(int argc, char** argv) { return run_receiver(argc, argv, startup_options{}); }
