// pelk [--main-folder DIR]: the catalogue program.
#include "shell/startup.h"
#include "ui/errorbox.h"

int main(int argc, char** argv) {
    ui::Application app(argc, argv);
    return shell::runProgram(app);
}
