#include "app/CKelvaroApp.h"

int main(int argc, char **argv)
{
    CKelvaroApp app(argc, argv);
    app.InitInstance();
    return app.ExitInstance();
}
