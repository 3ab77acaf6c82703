#include "app/CKelvaroApp.h"
#include "app/CommandLineOptions.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    // Answered before any window exists, so they work without a display.
    const std::string answer = CommandLineOptions::Answer(argc, argv);
    if (!answer.empty()) {
        std::fputs(answer.c_str(), stdout);
        return 0;
    }
    CKelvaroApp app(argc, argv);
    app.InitInstance();
    return app.ExitInstance();
}
