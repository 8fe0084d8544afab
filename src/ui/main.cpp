#include "ui/app/WendApplication.h"

int main(int argc, char** argv) {
    return wend::WendApplication::main(argc, argv);
}
