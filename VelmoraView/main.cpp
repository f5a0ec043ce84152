#include "shell/CVelmoraViewApp.h"

int main(int argc, char** argv)
{
    CVelmoraViewApp app(argc, argv);
    return app.Run();
}
