#include "Program.h"

int main(int, char* argv[]) {
    return kw::RunProgram(argv[0]);
}
