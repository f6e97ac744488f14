#include <cstdio>

int main(int argc, char** argv) {
    std::printf("tolvan: start-up spine not built yet\n");
    return 0;
}
