#include "ui/app/WendApplication.h"

int main(int argc, char** argv) {
    wend::WendApplication::prepareEnvironment(argc, argv);
    wend::WendApplication application(argc, argv);
    return application.run();
}
