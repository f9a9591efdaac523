// pelk [--main-folder DIR] [--help] [--version]: the catalogue program.
#include "shell/startup.h"
#include "ui/errorbox.h"

int main(int argc, char** argv) {
    // Before the application object: it needs a display, --help and --version do not.
    if (const auto exitCode = shell::answerBeforeStart(argc, argv)) return *exitCode;
    ui::Application app(argc, argv);
    return shell::runProgram(app);
}
